#pragma once

#include "ShapeTool.h"

// The shape tool's own operations are the rectangle's: Shift makes it a square.
class RectangleTool : public ShapeTool {};
