// The application's queue of posted messages. A posted message is handled later, in the
// order posted, by ProcessMessages or the message loop; Peek looks without removing.
//
// Components that go away while messages name them:
// - The target: messages for a component are dropped when it starts being destroyed, and a
//   message posted to a component that is already being destroyed is not queued.
// - The carried component (Obj): the message stays queued and is delivered, with ObjFreed
//   set, once Obj starts being destroyed (or at once, when it already is as the message is
//   posted). The receiver may compare Obj with the pointers it keeps, never use it.
#pragma once

#include <deque>
#include <optional>

#include "framework/messages/Messages.h"

namespace framework {

struct TQueuedMessage {
  TComponent* Target = nullptr;
  TMessage Message;
};

class TMessageQueue {
 public:
  TMessageQueue();
  ~TMessageQueue();
  TMessageQueue(const TMessageQueue&) = delete;
  TMessageQueue& operator=(const TMessageQueue&) = delete;

  void Post(TComponent* target, const TMessage& message);
  // The first message for target (any target when nullptr) whose number lies in
  // [msgMin, msgMax] (both 0: any number); removed when flags is PM_REMOVE.
  std::optional<TQueuedMessage> Peek(TComponent* target, uint32_t msgMin, uint32_t msgMax,
                                     unsigned flags);
  std::optional<TQueuedMessage> Take() { return Peek(nullptr, 0, 0, PM_REMOVE); }
  bool Empty() const { return FQueue.empty(); }
  size_t Count() const { return FQueue.size(); }
  // Drops the messages for component and marks those carrying it (ObjFreed).
  void Purge(TComponent* component);
  void Clear() { FQueue.clear(); }

 private:
  std::deque<TQueuedMessage> FQueue;
};

}  // namespace framework
