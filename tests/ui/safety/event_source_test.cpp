// Listener lists changed by their own listeners while they are called:
// every listener present when a call begins and not removed meanwhile is
// called exactly once.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ui/engine/controls/delegate.h"

using namespace TarselUI;

namespace {

enum class Action { kNothing, kRemoveSelf, kRemoveOther, kAddOther, kCallAgainThenRemoveSelf };

struct Listener;

struct Scene {
    CEventSource source;
    std::vector<std::unique_ptr<Listener>> listeners;
    std::vector<int> calls;  // listener ids in call order
};

struct Listener {
    Scene* scene;
    int id;
    Action action;
    int other;  // the listener removed or added

    bool OnEvent(void*) {
        scene->calls.push_back(id);
        switch (action) {
            case Action::kNothing: break;
            case Action::kRemoveSelf: scene->source -= MakeDelegate(this, &Listener::OnEvent); break;
            case Action::kRemoveOther: {
                Listener* target = scene->listeners[static_cast<size_t>(other)].get();
                scene->source -= MakeDelegate(target, &Listener::OnEvent);
                break;
            }
            case Action::kAddOther: {
                Listener* target = scene->listeners[static_cast<size_t>(other)].get();
                scene->source += MakeDelegate(target, &Listener::OnEvent);
                break;
            }
            case Action::kCallAgainThenRemoveSelf:
                action = Action::kRemoveSelf;  // the nested call removes it
                scene->source(nullptr);
                break;
        }
        return true;
    }
};

struct ListenerPlan {
    Action action;
    int other;
    bool registered;  // in the source before the first call
};

struct DispatchCase {
    const char* what;
    std::vector<ListenerPlan> listeners;
    std::vector<int> firstCall;
    std::vector<int> secondCall;
};

const std::vector<DispatchCase> kCases = {
    {"nobody changes the list",
     {{Action::kNothing, 0, true}, {Action::kNothing, 0, true}, {Action::kNothing, 0, true}},
     {0, 1, 2},
     {0, 1, 2}},
    {"the first removes itself",
     {{Action::kRemoveSelf, 0, true}, {Action::kNothing, 0, true}, {Action::kNothing, 0, true}},
     {0, 1, 2},
     {1, 2}},
    {"the middle one removes itself",
     {{Action::kNothing, 0, true}, {Action::kRemoveSelf, 0, true}, {Action::kNothing, 0, true}},
     {0, 1, 2},
     {0, 2}},
    {"every listener removes itself",
     {{Action::kRemoveSelf, 0, true}, {Action::kRemoveSelf, 0, true}, {Action::kRemoveSelf, 0, true}},
     {0, 1, 2},
     {}},
    {"one removes a listener already called",
     {{Action::kNothing, 0, true}, {Action::kRemoveOther, 0, true}, {Action::kNothing, 0, true}},
     {0, 1, 2},
     {1, 2}},
    {"one removes a listener not called yet",
     {{Action::kRemoveOther, 2, true}, {Action::kNothing, 0, true}, {Action::kNothing, 0, true}},
     {0, 1},
     {0, 1}},
    {"one adds a listener, called from the next call on",
     {{Action::kAddOther, 2, true}, {Action::kNothing, 0, true}, {Action::kNothing, 0, false}},
     {0, 1},
     {0, 1, 2}},
    {"a nested call in which the caller removes itself",
     {{Action::kNothing, 0, true}, {Action::kCallAgainThenRemoveSelf, 0, true}, {Action::kNothing, 0, true}},
     {0, 1, 0, 1, 2, 2},
     {0, 2}},
};

TEST(EventSource, EveryRemainingListenerIsCalledOnce) {
    for (const DispatchCase& c : kCases) {
        SCOPED_TRACE(c.what);
        Scene scene;
        for (size_t i = 0; i < c.listeners.size(); ++i) {
            const ListenerPlan& plan = c.listeners[i];
            scene.listeners.push_back(
                std::make_unique<Listener>(Listener{&scene, static_cast<int>(i), plan.action, plan.other}));
        }
        for (const auto& listener : scene.listeners) {
            if (c.listeners[static_cast<size_t>(listener->id)].registered) {
                scene.source += MakeDelegate(listener.get(), &Listener::OnEvent);
            }
        }
        EXPECT_TRUE(scene.source(nullptr));
        EXPECT_EQ(scene.calls, c.firstCall);
        scene.calls.clear();
        // Removals and additions made during the first call hold now.
        for (auto& listener : scene.listeners) {
            if (listener->action != Action::kRemoveSelf) listener->action = Action::kNothing;
        }
        scene.source(nullptr);
        EXPECT_EQ(scene.calls, c.secondCall);
    }
}

bool g_stopCalled = false;
bool Stop(void*) {
    g_stopCalled = true;
    return false;
}
bool NeverReached(void*) {
    ADD_FAILURE() << "called after a listener returned false";
    return true;
}

TEST(EventSource, AFalseResultEndsTheCall) {
    CEventSource source;
    source += Stop;
    source += NeverReached;
    EXPECT_FALSE(source(nullptr));
    EXPECT_TRUE(g_stopCalled);
    EXPECT_EQ(source.GetCount(), 2);
}

}  // namespace
