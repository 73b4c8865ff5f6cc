#pragma once
// Portraits without a window: `vuplora portrait --pack N --seed S [--count K] OUT.png`
// composes random portraits from a pack and writes them as PNG files. The same
// pack and seed give the same picture on every run and machine: the picks come
// from std::mt19937_64 (whose output the C++ standard fixes) through our own
// mapping onto an item range, not through a standard distribution (whose
// output differs between standard libraries).
//
// A random portrait is what a new editor window shows: the categories
// RandomPicks names, picked in that order from one seeded stream (the window
// draws its picks from the same picker); the other layers, the bubble and the
// watermark stay empty.

#include "assets/untVuplora.h"
#include "assets/untVuploraPortrait.h"
#include "compose/untVuploraCompose.h"

#include <random>

// Uniform picks in 0 .. n-1 from a seed, the same on every platform.
class TSeededPicks {
public:
    explicit TSeededPicks(quint64 aiSeed) : moEngine(aiSeed) {}
    // 0 for n <= 0.
    qint32 Pick(qint32 aiCount);

private:
    std::mt19937_64 moEngine;
};

// A seed that differs from run to run and call to call, from the clock.
quint64 FreshSeed();

// The random portrait of a seed on the pack aoRes holds (giPackIndex names it).
TPortrait SeededPortrait(const TFaceRes &aoRes, quint64 aiSeed);

// The "portrait" command; argv[1] is "portrait". Returns the exit code: 0 done,
// 1 a portrait could not be made or written, 2 usage. Makes its own
// application object on the offscreen platform.
int RunPortraitCommand(int argc, char **argv);
