// Broadcaster and listener: registration on both sides, call order, destruction of
// either side, listeners that change registrations mid-broadcast, and out of memory.
#include "base/broadcaster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "base/memory_test_hooks.h"

namespace {

class TestBroadcaster : public PTzBroadcaster {
public:
    using PTzBroadcaster::Broadcast;
};

struct Call {
    int id;
    uint32_t message;
    void* param;
    PTzBroadcaster* sender;
};

// Logs every call and then runs its action, which may destroy the listener itself.
class RecordingListener : public PTzListener {
public:
    RecordingListener(std::vector<Call>& log, int id) : m_log(log), m_id(id) {}

    std::function<void(uint32_t message)> action;

protected:
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override
    {
        m_log.push_back({m_id, message, param, sender});
        if (auto run = action)
            run(message);
        return 1;
    }

private:
    std::vector<Call>& m_log;
    int m_id;
};

struct AllocationHooksOff {
    ~AllocationHooksOff() { PTzTestSetAllocationCountdown(-1); }
};

// A broadcaster with listeners 0, 1, 2, ... registered in that order.
struct Fixture {
    explicit Fixture(int listeners)
    {
        for (int id = 0; id < listeners; ++id) {
            this->listeners.push_back(std::make_unique<RecordingListener>(log, id));
            EXPECT_EQ(this->listeners.back()->AddToBroadcaster(broadcaster.get()), 1);
        }
    }

    // Ids heard by one broadcast of message, in call order; clears the log.
    std::vector<int> broadcast(uint32_t message = 1)
    {
        log.clear();
        EXPECT_EQ(broadcaster->Broadcast(message, nullptr, nullptr), 1);
        return heard();
    }

    std::vector<int> heard()
    {
        std::vector<int> ids;
        for (const Call& call : log)
            ids.push_back(call.id);
        log.clear();
        return ids;
    }

    std::vector<Call> log;
    std::unique_ptr<TestBroadcaster> broadcaster = std::make_unique<TestBroadcaster>();
    std::vector<std::unique_ptr<RecordingListener>> listeners;
};

using Ids = std::vector<int>;

TEST(Broadcaster, CallsNewestRegistrationFirst)
{
    Fixture f(3);
    EXPECT_EQ(f.broadcast(), (Ids{2, 1, 0}));
}

TEST(Broadcaster, NullSenderMeansTheBroadcasterItself)
{
    Fixture f(1);
    TestBroadcaster other;
    int param = 0;
    f.broadcaster->Broadcast(1101, &param, nullptr);
    f.broadcaster->Broadcast(1102, nullptr, &other);
    ASSERT_EQ(f.log.size(), 2u);
    EXPECT_EQ(f.log[0].message, 1101u);
    EXPECT_EQ(f.log[0].param, &param);
    EXPECT_EQ(f.log[0].sender, f.broadcaster.get());
    EXPECT_EQ(f.log[1].sender, &other);
}

TEST(Broadcaster, PairRegisteredTwiceIsCalledTwiceAndRemovedOneAtATime)
{
    Fixture f(1);
    RecordingListener& listener = *f.listeners[0];
    ASSERT_EQ(listener.AddToBroadcaster(f.broadcaster.get()), 1);
    EXPECT_EQ(f.broadcast(), (Ids{0, 0}));
    EXPECT_EQ(listener.RemoveFromBroadcaster(f.broadcaster.get()), 1);
    EXPECT_EQ(f.broadcast(), (Ids{0}));
    EXPECT_EQ(listener.RemoveFromBroadcaster(f.broadcaster.get()), 1);
    EXPECT_EQ(f.broadcast(), Ids{});
    EXPECT_EQ(listener.RemoveFromBroadcaster(f.broadcaster.get()), 0);
    EXPECT_EQ(listener.AddToBroadcaster(nullptr), 0);
    EXPECT_EQ(listener.RemoveFromBroadcaster(nullptr), 0);
}

TEST(Broadcaster, DestroyedListenerLeavesEveryBroadcaster)
{
    std::vector<Call> log;
    std::array<TestBroadcaster, 3> broadcasters;
    auto doomed = std::make_unique<RecordingListener>(log, 0);
    RecordingListener survivor(log, 1);
    for (TestBroadcaster& broadcaster : broadcasters) {
        ASSERT_EQ(doomed->AddToBroadcaster(&broadcaster), 1);
        ASSERT_EQ(survivor.AddToBroadcaster(&broadcaster), 1);
    }
    ASSERT_EQ(doomed->AddToBroadcaster(&broadcasters[1]), 1);
    doomed.reset();
    for (TestBroadcaster& broadcaster : broadcasters) {
        log.clear();
        broadcaster.Broadcast(1, nullptr, nullptr);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].id, 1);
    }
}

TEST(Broadcaster, DestroyedBroadcasterLeavesEveryListener)
{
    Fixture f(2);
    TestBroadcaster other;
    ASSERT_EQ(f.listeners[0]->AddToBroadcaster(f.broadcaster.get()), 1);
    ASSERT_EQ(f.listeners[0]->AddToBroadcaster(&other), 1);
    PTzBroadcaster* const gone = f.broadcaster.get();
    f.broadcaster.reset();
    for (auto& listener : f.listeners)
        EXPECT_EQ(listener->RemoveFromBroadcaster(gone), 0);
    other.Broadcast(1, nullptr, nullptr);
    EXPECT_EQ(f.heard(), (Ids{0}));
}

// The actor removes listeners from inside Listen, in both broadcasts.
struct RemovalCase {
    int listeners;
    int actor;
    Ids removed;
    Ids during;
    Ids after;
};

TEST(BroadcastReentrancy, RemovedListenersAreSkippedAndNobodyIsCalledTwice)
{
    const RemovalCase cases[] = {
        {3, 1, {1}, {2, 1, 0}, {2, 0}},     // itself
        {3, 2, {0}, {2, 1}, {2, 1}},        // an older one
        {3, 1, {2}, {2, 1, 0}, {1, 0}},     // a newer one, already called
        {5, 4, {0, 1, 3}, {4, 2}, {4, 2}},  // several
    };
    for (const RemovalCase& c : cases) {
        Fixture f(c.listeners);
        f.listeners[c.actor]->action = [&](uint32_t) {
            for (int id : c.removed)
                f.listeners[id]->RemoveFromBroadcaster(f.broadcaster.get());
        };
        EXPECT_EQ(f.broadcast(), c.during) << "actor " << c.actor;
        EXPECT_EQ(f.broadcast(), c.after) << "actor " << c.actor;
    }
}

TEST(BroadcastReentrancy, ListenerAddedDuringABroadcastHearsTheNextOne)
{
    Fixture f(1);
    RecordingListener late(f.log, 7);
    f.listeners[0]->action = [&](uint32_t) { late.AddToBroadcaster(f.broadcaster.get()); };
    EXPECT_EQ(f.broadcast(), (Ids{0}));
    f.listeners[0]->action = nullptr;
    EXPECT_EQ(f.broadcast(), (Ids{7, 0}));
}

TEST(BroadcastReentrancy, TwiceRegisteredListenerDroppingOneRegistrationIsCalledOnce)
{
    Fixture f(2);
    ASSERT_EQ(f.listeners[0]->AddToBroadcaster(f.broadcaster.get()), 1);
    EXPECT_EQ(f.broadcast(), (Ids{0, 1, 0}));
    f.listeners[0]->action = [&](uint32_t) { f.listeners[0]->RemoveFromBroadcaster(f.broadcaster.get()); };
    EXPECT_EQ(f.broadcast(), (Ids{0, 1}));
}

TEST(BroadcastReentrancy, ListenersDestroyedInsideListenAreNotCalledAgain)
{
    Fixture f(4);
    f.listeners[3]->action = [&](uint32_t) { f.listeners[3].reset(); };
    f.listeners[2]->action = [&](uint32_t) { f.listeners[0].reset(); };
    EXPECT_EQ(f.broadcast(), (Ids{3, 2, 1}));
    EXPECT_EQ(f.broadcast(), (Ids{2, 1}));
}

TEST(BroadcastReentrancy, DestroyingTheBroadcasterStopsTheBroadcast)
{
    Fixture f(3);
    PTzBroadcaster* const gone = f.broadcaster.get();
    f.listeners[1]->action = [&](uint32_t) { f.broadcaster.reset(); };
    f.broadcaster->Broadcast(1, nullptr, nullptr);
    EXPECT_EQ(f.heard(), (Ids{2, 1}));
    for (auto& listener : f.listeners)
        EXPECT_EQ(listener->RemoveFromBroadcaster(gone), 0);
}

TEST(BroadcastReentrancy, NestedBroadcastReachesEveryoneAndTheOuterOneGoesOn)
{
    Fixture f(3);
    f.listeners[1]->action = [&](uint32_t message) {
        if (message == 1)
            f.broadcaster->Broadcast(2, nullptr, nullptr);
    };
    f.broadcaster->Broadcast(1, nullptr, nullptr);
    std::vector<std::pair<int, uint32_t>> calls;
    for (const Call& call : f.log)
        calls.emplace_back(call.id, call.message);
    EXPECT_EQ(calls, (std::vector<std::pair<int, uint32_t>>{{2, 1}, {1, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}}));
}

TEST(BroadcastReentrancy, DestroyingTheBroadcasterInANestedBroadcastStopsBoth)
{
    Fixture f(3);
    f.listeners[1]->action = [&](uint32_t message) {
        if (message == 1)
            f.broadcaster->Broadcast(2, nullptr, nullptr);
    };
    f.listeners[0]->action = [&](uint32_t) { f.broadcaster.reset(); };
    f.broadcaster->Broadcast(1, nullptr, nullptr);
    EXPECT_EQ(f.heard(), (Ids{2, 1, 2, 1, 0}));
}

// Partner lists are made by the first registration: a broadcaster and a listener made
// while no memory is to be had register later all the same.
TEST(BroadcasterMemory, PartnersTakeMemoryOnlyFromTheFirstRegistration)
{
    std::vector<Call> log;
    std::unique_ptr<TestBroadcaster> broadcaster;
    std::unique_ptr<RecordingListener> listener;
    {
        const AllocationHooksOff off;
        PTzTestSetAllocationCountdown(0);
        broadcaster = std::make_unique<TestBroadcaster>();
        listener = std::make_unique<RecordingListener>(log, 0);
        EXPECT_EQ(broadcaster->Broadcast(1, nullptr, nullptr), 1);
    }
    ASSERT_EQ(listener->AddToBroadcaster(broadcaster.get()), 1);
    EXPECT_EQ(broadcaster->Broadcast(1, nullptr, nullptr), 1);
    EXPECT_EQ(log.size(), 1u);
}

// A first registration makes four blocks: the listener's list, the broadcaster's list
// and room in each. Whichever of them fails, neither side is registered, and a later
// registration works.
TEST(BroadcasterMemory, AFailedRegistrationRegistersNeitherSide)
{
    for (int64_t blocksMade = 0; blocksMade < 4; ++blocksMade) {
        Fixture f(0);
        RecordingListener listener(f.log, 0);
        {
            const AllocationHooksOff off;
            PTzTestSetAllocationCountdown(blocksMade);
            EXPECT_EQ(listener.AddToBroadcaster(f.broadcaster.get()), 0) << blocksMade;
        }
        EXPECT_EQ(f.broadcast(), Ids{}) << blocksMade;
        EXPECT_EQ(listener.RemoveFromBroadcaster(f.broadcaster.get()), 0) << blocksMade;
        ASSERT_EQ(listener.AddToBroadcaster(f.broadcaster.get()), 1) << blocksMade;
        EXPECT_EQ(f.broadcast(), (Ids{0})) << blocksMade;
    }
}

// Random registrations, removals and destructions against per-broadcaster vectors of
// listener ids in registration order; a removal drops the pair's latest registration.
TEST(Broadcaster, RandomRegistrationsMatchAModel)
{
    constexpr int kBroadcasters = 3;
    constexpr int kListeners = 4;
    std::vector<Call> log;
    std::array<std::unique_ptr<TestBroadcaster>, kBroadcasters> broadcasters;
    std::array<std::unique_ptr<RecordingListener>, kListeners> listeners;
    std::array<int, kListeners> ids{};
    std::array<std::vector<int>, kBroadcasters> model;
    int nextId = 0;
    for (auto& broadcaster : broadcasters)
        broadcaster = std::make_unique<TestBroadcaster>();
    for (int l = 0; l < kListeners; ++l) {
        ids[l] = nextId++;
        listeners[l] = std::make_unique<RecordingListener>(log, ids[l]);
    }

    std::mt19937 random(1108);
    for (int step = 0; step < 3000; ++step) {
        const int b = int(random() % kBroadcasters);
        const int l = int(random() % kListeners);
        std::vector<int>& registered = model[b];
        switch (random() % 6) {
        case 0:
        case 1:
            ASSERT_EQ(listeners[l]->AddToBroadcaster(broadcasters[b].get()), 1);
            registered.push_back(ids[l]);
            break;
        case 2: {
            const auto latest = std::find(registered.rbegin(), registered.rend(), ids[l]);
            const int expected = latest != registered.rend();
            ASSERT_EQ(listeners[l]->RemoveFromBroadcaster(broadcasters[b].get()), expected);
            if (expected)
                registered.erase(std::next(latest).base());
            break;
        }
        case 3:
            listeners[l].reset();
            for (std::vector<int>& each : model)
                std::erase(each, ids[l]);
            ids[l] = nextId++;
            listeners[l] = std::make_unique<RecordingListener>(log, ids[l]);
            break;
        case 4:
            if (random() % 4 == 0) {
                broadcasters[b] = std::make_unique<TestBroadcaster>();
                registered.clear();
            }
            break;
        default: {
            log.clear();
            broadcasters[b]->Broadcast(uint32_t(step), nullptr, nullptr);
            std::vector<int> heard;
            for (const Call& call : log)
                heard.push_back(call.id);
            ASSERT_EQ(heard, std::vector<int>(registered.rbegin(), registered.rend())) << "step " << step;
            break;
        }
        }
    }
}

}  // namespace
