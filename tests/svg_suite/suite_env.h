#pragma once

#include <QString>

// The svg-suite folder of the shared material (VUPLORA_SHARED, else /work/shared).
QString SuiteRoot();
