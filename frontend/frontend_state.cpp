#include "frontend/frontend_state.h"

namespace tamaruka {

FrontEndState& frontEndState()
{
    static FrontEndState state;
    return state;
}

}  // namespace tamaruka
