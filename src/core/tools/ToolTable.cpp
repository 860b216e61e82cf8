#include "ToolTable.h"

#include "EllipseTool.h"
#include "EraserTool.h"
#include "EyedropperTool.h"
#include "FillTool.h"
#include "LineTool.h"
#include "MoveTool.h"
#include "RectangleTool.h"
#include "SelectionTool.h"
#include "TriangleTool.h"

namespace {

std::unique_ptr<PixelTool> makeTool(ToolKind kind) {
    switch (kind) {
    case ToolKind::pencil:
        return std::make_unique<PencilTool>();
    case ToolKind::eraser:
        return std::make_unique<EraserTool>();
    case ToolKind::fill:
        return std::make_unique<FillTool>();
    case ToolKind::eyedropper:
        return std::make_unique<EyedropperTool>();
    case ToolKind::line:
        return std::make_unique<LineTool>();
    case ToolKind::rectangle:
        return std::make_unique<RectangleTool>();
    case ToolKind::ellipse:
        return std::make_unique<EllipseTool>();
    case ToolKind::triangle:
        return std::make_unique<TriangleTool>();
    case ToolKind::select:
        return std::make_unique<SelectionTool>();
    case ToolKind::move:
        return std::make_unique<MoveTool>();
    }
    return nullptr; // every kind is handled above
}

} // namespace

ToolTable::ToolTable() {
    for (const ToolKind kind : ToolKinds::all)
        tools.emplace(kind, makeTool(kind));
}
