// The program's one undo step. A step swaps the values it keeps with the
// live ones, so running it undoes and running it again redoes; a new step
// replaces the one kept. Grid layouts, record edits and, later, time scales,
// path moves and drawing objects all keep their steps here.
#ifndef KELVO_UNDO_BUFFER_H_
#define KELVO_UNDO_BUFFER_H_

#include <functional>

namespace kelvo {

class UndoBuffer {
 public:
  // Swaps the kept values with the live ones. Returns false when what it
  // belongs to is gone or refuses the values; the step is dropped then.
  using Step = std::function<bool()>;

  // Keeps step, made by owner: a view, or null for a change of the project
  // data that the undo command of any view takes.
  void keep(const void* owner, Step step);
  // True when owner's undo command has a step: one it made or a data step.
  bool canUndo(const void* owner) const;
  // Runs the kept step for owner. False when there is none for owner or it
  // failed.
  bool undo(const void* owner);
  // Drops the kept step (the change it undoes no longer applies).
  void clear();
  // Drops the kept step when owner made it (the owner goes away, or its
  // records were deleted).
  void release(const void* owner);

 private:
  const void* owner_ = nullptr;
  Step step_;
};

}  // namespace kelvo

#endif  // KELVO_UNDO_BUFFER_H_
