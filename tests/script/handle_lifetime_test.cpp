#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "event/EventHandler.h"
#include "event/ScriptEventHandler.h"
#include "script/EngineObject.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

class Counted : public EngineObject {
 public:
  explicit Counted(std::vector<int>* destroyed, int tag) : destroyed_(destroyed), tag_(tag) {}
  ~Counted() override { destroyed_->push_back(tag_); }
  std::function<void()> on_destroy;

 private:
  std::vector<int>* destroyed_;
  int tag_;
};

class Other : public EngineObject {};

TEST(HandleLifetime, ReleasedHandleIsDeadAndItsIdIsNeverReused) {
  EngineObjectRegistry registry;
  std::vector<int> destroyed;
  auto* first = registry.Add(std::make_unique<Counted>(&destroyed, 1));
  void* handle = first->Handle();
  EXPECT_EQ(registry.Find(handle), first);
  registry.Release(first);
  EXPECT_EQ(registry.Find(handle), nullptr);
  auto* second = registry.Add(std::make_unique<Counted>(&destroyed, 2));
  EXPECT_NE(second->Handle(), handle);
  EXPECT_EQ(registry.Find(handle), nullptr);
  EXPECT_EQ(registry.Find(nullptr), nullptr);
  EXPECT_EQ(destroyed, std::vector<int>{1});
  registry.ReleaseAll();
}

TEST(HandleLifetime, FindChecksTheClassAndLetsSubclassesPass) {
  EngineObjectRegistry registry;
  std::vector<int> destroyed;
  auto* counted = registry.Add(std::make_unique<Counted>(&destroyed, 1));
  auto* handler = registry.Add(std::make_unique<ScriptEventHandler>());
  EXPECT_EQ(registry.Find<Other>(counted->Handle()), nullptr);
  EXPECT_EQ(registry.Find<Counted>(counted->Handle()), counted);
  EXPECT_EQ(registry.Find<EventHandler>(handler->Handle()), handler);
  EXPECT_EQ(registry.Find<EngineObject>(handler->Handle()), handler);
  registry.ReleaseAll();
}

TEST(HandleLifetime, ReleaseAllDestroysEachOnceOldestFirstEvenWhenOneReleasesAnother) {
  EngineObjectRegistry registry;
  std::vector<int> destroyed;
  auto* a = registry.Add(std::make_unique<Counted>(&destroyed, 1));
  auto* b = registry.Add(std::make_unique<Counted>(&destroyed, 2));
  auto* c = registry.Add(std::make_unique<Counted>(&destroyed, 3));
  (void)b;
  // a's destructor releases c, which has not been reached yet.
  struct Releaser : EngineObject {
    EngineObjectRegistry* registry;
    EngineObject* victim;
    ~Releaser() override { registry->Release(victim); }
  };
  auto releaser = std::make_unique<Releaser>();
  releaser->registry = &registry;
  releaser->victim = c;
  auto* r = registry.Add(std::move(releaser));
  (void)r;
  (void)a;
  registry.ReleaseAll();
  EXPECT_EQ(destroyed, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(registry.Count(), 0u);
}

TEST(HandleLifetime, DetachKillsTheHandleButLeavesTheObjectToItsCaller) {
  EngineObjectRegistry registry;
  std::vector<int> destroyed;
  auto* object = registry.Add(std::make_unique<Counted>(&destroyed, 7));
  void* handle = object->Handle();
  std::unique_ptr<EngineObject> owned = registry.Detach(object);
  EXPECT_EQ(registry.Find(handle), nullptr);
  EXPECT_TRUE(destroyed.empty());
  owned.reset();
  EXPECT_EQ(destroyed, std::vector<int>{7});
}

using HandleChecks = test::ScriptTest;

TEST_F(HandleChecks, EventCommandsRefuseAnythingButALiveHandlerWithAnErrorLine) {
  testing::internal::CaptureStderr();
  Run(R"(
    local h = CreateEventHandler()
    ReleaseEventHandler(h)
    SetEventHandler(h)
    SetEventHandler(nil)
    SetEventHandler(42)
    SetEventHandlerFunc('x', 0, 'f')
    ResetEventHandler({})
    ReleaseEventHandler(h)
  )");
  std::string out = testing::internal::GetCapturedStderr();
  EXPECT_NE(out.find("SetEventHandler: argument 1 is not a live event handler.\n"), std::string::npos)
      << out;
  EXPECT_EQ(EventHandlerList::Size(), 0u);
}

TEST(HandleLifetime, ObjectsComeBackUnderTheirIdsAndReleasedIdsStayDead) {
  EngineObjectRegistry registry;
  std::vector<int> destroyed;
  registry.Add(std::make_unique<Counted>(&destroyed, 1));
  auto* kept = registry.Add(std::make_unique<Counted>(&destroyed, 2));
  registry.Add(std::make_unique<Counted>(&destroyed, 3));
  const std::uint64_t kept_id = kept->Id();
  const std::uint64_t next = registry.NextId();
  registry.ReleaseAll();

  registry.SetNextId(next);
  auto* back = registry.AddWithId(std::make_unique<Counted>(&destroyed, 4), kept_id);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Id(), kept_id);
  EXPECT_EQ(registry.Find(back->Handle()), back);
  // An id in use, 0, or one never handed out is refused (and the object destroyed).
  EXPECT_EQ(registry.AddWithId(std::make_unique<Counted>(&destroyed, 5), kept_id), nullptr);
  EXPECT_EQ(registry.AddWithId(std::make_unique<Counted>(&destroyed, 6), 0), nullptr);
  EXPECT_EQ(registry.AddWithId(std::make_unique<Counted>(&destroyed, 7), next), nullptr);
  // New objects never reuse the ids of the objects released before the save.
  EXPECT_EQ(registry.Add(std::make_unique<Counted>(&destroyed, 8))->Id(), next);
  // The next id never falls to one in use.
  registry.SetNextId(1);
  EXPECT_EQ(registry.NextId(), next + 1);
  EXPECT_EQ(registry.Objects().front(), back);
  registry.ReleaseAll();
  EXPECT_EQ(destroyed, (std::vector<int>{1, 2, 3, 5, 6, 7, 4, 8}));
}

}  // namespace
}  // namespace tessel
