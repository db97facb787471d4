#pragma once

namespace vm::ui {

// Qt's drawing code (filling images, painting widgets) can return with the upper halves of the
// AVX registers still in use. Until they are cleared, every SSE instruction of the model pays a
// transition penalty: a run after a repaint measured over ten times slower than a headless one.
// Clearing them after drawing and before the model computes keeps the run at the model's speed.

// Clears the upper halves of the vector registers where the processor has them; does nothing
// elsewhere.
void clearUpperVectorRegisters();

} // namespace vm::ui
