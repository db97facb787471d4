#pragma once
// The pixels a one-pixel pen covers as it moves from one point to the next.

#include <QPoint>
#include <QRect>
#include <QVarLengthArray>

namespace vm::plots {

// Appends to out the pixels of the line from `from` up to, but not including, `to` (the pen
// stops on `to` without drawing it, so consecutive segments never draw a pixel twice), keeping
// only those inside `visible`. Both ends must lie within a few thousand pixels of `visible`.
void appendLinePixels(QPoint from, QPoint to, const QRect& visible,
                      QVarLengthArray<QPoint, 512>& out);

} // namespace vm::plots
