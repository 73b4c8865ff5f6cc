#pragma once
// The SVG engine's exception: a message text that reaches the user unchanged.

#include "errors/errors.h"

class ESVGException : public EVuploraError {
public:
    using EVuploraError::EVuploraError;
};
