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

// One charge per step of the stack from index from on, oldest first.
std::vector<qint64> stepCharges(const QUndoStack& stack, const Sprite& live, int from = 0);

// Where charges may still change as the document is edited: from the second-newest step that
// holds whole cels (structural steps, big pixel steps) on. Older steps share nothing with the
// document that such a newer step does not share too, so once one follows them their charges
// are settled (as long as nothing is undone).
int unsettledFrom(const QUndoStack& stack);

// How many of the oldest steps to drop so that the rest fit the budget. The newest done step
// and every undone step are always kept.
int stepsToDrop(const std::vector<qint64>& charges, int index, qint64 budget);

// A copy of a step of this program (and of a group of them), to rebuild a history from.
QUndoCommand* copyStep(const QUndoCommand& step, QUndoCommand* parent = nullptr);

} // namespace UndoMemory
