#include "strings/internal/PassPlan.h"

namespace strings_internal {

PassOutcome PlanPasses(uint64_t length, uint64_t size, const Pass* passes, size_t count) {
  PassOutcome outcome;
  outcome.length = length;
  outcome.size = size;
  for (size_t i = 0; i < count; ++i) {
    if (passes[i].matches == 0) continue;
    const uint64_t resultSize =
        outcome.length + static_cast<uint64_t>(passes[i].change) * passes[i].matches + 1;
    if (resultSize > UINT32_MAX) {
      outcome.tooLong = true;
      continue;
    }
    outcome.changed = true;
    outcome.length = resultSize - 1;
    // ReplaceAll keeps the buffer only when the result with its terminator
    // is shorter than the capacity (size - 1).
    if (resultSize + 1 >= outcome.size) {
      outcome.replaced = true;
      outcome.size = resultSize;
    }
  }
  return outcome;
}

}  // namespace strings_internal
