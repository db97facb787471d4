#pragma once

namespace vm::model {

// Drawing code (Qt filling images, painting widgets) can return with the upper halves of the AVX
// registers still in use. Until they are cleared, every SSE instruction of the model pays a
// transition penalty: a run after a repaint measured over ten times slower than a headless one.
// The model clears them before it computes and after every live call of a run, whoever drew
// before, so that a run keeps the model's speed.

// Clears the upper halves of the vector registers where the processor has them; does nothing
// elsewhere.
void clearUpperVectorRegisters();

} // namespace vm::model
