// Wherever the headless widgetset is linked it is the default one (see SetDefaultWidgetset):
// the aggregate framework target links this file into every program and test.
#include "framework/widgetset/headless/HeadlessWidgetSet.h"

namespace framework {
namespace {

const bool kHeadlessIsDefault =
    SetDefaultWidgetset([] { return std::make_unique<THeadlessWidgetSet>(); });

}  // namespace
}  // namespace framework
