#include "kelvo/undo_buffer.h"

#include <utility>

namespace kelvo {

void UndoBuffer::keep(const void* owner, Step step) {
  owner_ = owner;
  step_ = std::move(step);
}

bool UndoBuffer::canUndo(const void* owner) const {
  return step_ && (owner_ == nullptr || owner_ == owner);
}

bool UndoBuffer::undo(const void* owner) {
  if (!canUndo(owner)) return false;
  // The step runs outside the buffer, so that what it calls may clear or
  // replace the buffer without destroying the running step.
  Step step = std::move(step_);
  const void* stepOwner = owner_;
  step_ = nullptr;
  const bool swapped = step();
  if (swapped && !step_) keep(stepOwner, std::move(step));
  return swapped;
}

void UndoBuffer::clear() {
  owner_ = nullptr;
  step_ = nullptr;
}

void UndoBuffer::release(const void* owner) {
  if (step_ && owner_ == owner) clear();
}

}  // namespace kelvo
