#pragma once

#include "PixelTool.h"
#include "ToolKind.h"

#include <map>
#include <memory>

// One fresh tool object per tool kind, owned for the life of an editor.
class ToolTable {
public:
    ToolTable();

    PixelTool& operator[](ToolKind kind) const { return *tools.at(kind); }

private:
    std::map<ToolKind, std::unique_ptr<PixelTool>> tools;
};
