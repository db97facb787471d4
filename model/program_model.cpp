#include "model_state.h"

ModelState& programModel() {
    static ModelState model;
    return model;
}
