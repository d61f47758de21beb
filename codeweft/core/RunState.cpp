#include "codeweft/core/RunState.h"

#include "codeweft/core/parse/Parser.h"

namespace codeweft {

TRunState::TRunState() : Parser(std::make_unique<TParser>(*this)) {}

TRunState::~TRunState() = default;

}  // namespace codeweft
