#pragma once

#include <QString>

// The svg-suite folder of the shared material.
QString SuiteRoot();
