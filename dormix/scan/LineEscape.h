#pragma once
// The escape lives in common/, where Marqueta's messages use it too.
#include "common/LineEscape.h"
