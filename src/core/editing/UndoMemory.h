#pragma once

#include "Sprite.h"

#include <QUndoStack>
#include <vector>

// What the undo history costs in memory. Each step is charged the pixel memory only it keeps
// alive: what the document does not hold and no newer step holds, so dropping the oldest steps
// gives back exactly what they were charged.
namespace UndoMemory {

// A quarter of physical memory, at most 2 GiB.
qint64 defaultBudget();

// One charge per step of the stack, oldest first.
std::vector<qint64> stepCharges(const QUndoStack& stack, const Sprite& live);

// How many of the oldest steps to drop so that the rest fit the budget. The newest done step
// and every undone step are always kept.
int stepsToDrop(const std::vector<qint64>& charges, int index, qint64 budget);

// A copy of a step of this program (and of a group of them), to rebuild a history from.
QUndoCommand* copyStep(const QUndoCommand& step, QUndoCommand* parent = nullptr);

} // namespace UndoMemory
