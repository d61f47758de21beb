// The application's queue of posted messages. A posted message is handled later, in the
// order posted, by ProcessMessages or the message loop; Peek looks without removing.
// Messages for a destroyed component, or carrying one, are dropped at once; so is a message
// posted for or carrying a component that is already being destroyed.
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
  void Purge(TComponent* component);  // drops everything for or carrying it
  void Clear() { FQueue.clear(); }

 private:
  std::deque<TQueuedMessage> FQueue;
};

}  // namespace framework
