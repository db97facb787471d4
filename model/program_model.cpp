#include "model/model_state.h"

namespace vm::model {

ModelState& programModel() {
    static ModelState model;
    return model;
}

} // namespace vm::model
