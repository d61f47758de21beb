#include "framework/messages/MessageQueue.h"

#include "framework/classes/Component.h"

namespace framework {

TMessageQueue::TMessageQueue() {
  detail::AddComponentDestroyedHook(this, [this](TComponent* c) { Purge(c); });
}

TMessageQueue::~TMessageQueue() { detail::RemoveComponentDestroyedHook(this); }

// A target that is being destroyed has already been purged (or is about to be); a carried
// component that is being destroyed will be gone by the time the message is handled.
void TMessageQueue::Post(TComponent* target, const TMessage& message) {
  if (!target || target->IsDestroying()) return;
  FQueue.push_back({target, message});
  if (message.Obj && message.Obj->IsDestroying()) FQueue.back().Message.ObjFreed = true;
}

std::optional<TQueuedMessage> TMessageQueue::Peek(TComponent* target, uint32_t msgMin,
                                                  uint32_t msgMax, unsigned flags) {
  for (auto it = FQueue.begin(); it != FQueue.end(); ++it) {
    if (target && it->Target != target) continue;
    if ((msgMin || msgMax) && (it->Message.Msg < msgMin || it->Message.Msg > msgMax)) continue;
    TQueuedMessage m = *it;
    if (flags & PM_REMOVE) FQueue.erase(it);
    return m;
  }
  return std::nullopt;
}

void TMessageQueue::Purge(TComponent* component) {
  std::erase_if(FQueue, [component](const TQueuedMessage& m) { return m.Target == component; });
  for (TQueuedMessage& m : FQueue)
    if (m.Message.Obj == component) m.Message.ObjFreed = true;
}

}  // namespace framework
