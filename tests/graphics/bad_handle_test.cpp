// Every graphics command given a released handle, a handle of another
// family, nil or a number: its family's exact message on standard error, nil
// for each result, and nothing changed.
#include "event/EventHandler.h"
#include "graphics/GraphicsTest.h"
#include "graphics/Layer.h"
#include "graphics/LayerEffect.h"
#include "graphics/LayerTable.h"

namespace tessel {
namespace {

using test::ErrorsOf;
using test::GlobalObject;
using test::LogOf;

constexpr const char* kTexture = "This texture data has already released.\n";
constexpr const char* kLayer = "This texture layer data has already released.\n";
constexpr const char* kEffect = "This effector has already released.\n";

struct Case {
  const char* call;  // "%" stands for the bad handle
  const char* message;
  int results;
};

const Case kCases[] = {
    {"ReleaseTexImage(%)", kTexture, 0},
    {"GetTexImageInf(%)", kTexture, 2},
    {"CreateLayer(%)", kTexture, 1},
    {"ReleaseLayer(%)", kLayer, 0},
    {"LayerAddFront(%)", kLayer, 0},
    {"LayerSet(%, 0)", kLayer, 0},
    {"VisibleLayer(%, false)", kLayer, 0},
    {"OffsetLayer(%, 5, 5)", kLayer, 0},
    {"GetLayerOffset(%)", kLayer, 2},
    {"GetLayerSize(%)", kLayer, 2},
    {"ChgLayerAlpha(%, 0.25)", kLayer, 0},
    {"SetLayerISize(%, 1, 1, 2, 2)", kLayer, 0},
    {"SetLayerBlendParam(%, 1, 1)", kLayer, 0},
    {"ScaleLayer(%, 2, 2, 2)", kLayer, 0},
    {"RotateLayer(%, 1, 2, 3)", kLayer, 0},
    {"SetTransformCenter(%, 1, 2, 3)", kLayer, 0},
    {"EffectCopy(%, 1, 100, true)", kLayer, 1},
    {"StopLayerEffect(%)", kEffect, 0},
};

class BadHandleTest : public test::GraphicsScriptTest {
 protected:
  void SetUp() override {
    GraphicsScriptTest::SetUp();
    LogOf([&] {
      Run("t = LoadTexImage(2, 2) L = CreateLayer(t) LayerAddFront(L)"
          " e = EffectCopy(L, 1, 100000, false)"
          " dead_t = LoadTexImage(2, 2) dead_L = CreateLayer(t)"
          " dead_e = EffectCopy(dead_L, 2, 0, false)"
          " ReleaseTexImage(dead_t) ReleaseLayer(dead_L)");
    });
    DispatchEvents();  // ends dead_e
  }

  // Everything a bad call could disturb.
  std::string State() {
    const Layer& layer = *GlobalObject<Layer>("L");
    std::string state =
        std::to_string(Registry().Count()) + " " + std::to_string(LayerTable::Size()) + " " +
        std::to_string(EventHandlerList::Size()) + " " + std::to_string(layer.X()) + "," +
        std::to_string(layer.Y()) + " " + std::to_string(layer.Alpha()) + " " +
        std::to_string(layer.Visible()) + " " + std::to_string(layer.Scale().x) + " " +
        std::to_string(layer.Rotation().z) + " " + std::to_string(layer.TransformCenter().y) + " " +
        std::to_string(layer.BlendDestination()) + " " + std::to_string(layer.SourceWidth());
    return state;
  }
};

TEST_F(BadHandleTest, EveryCommandRefusesEveryBadHandle) {
  ASSERT_EQ(GlobalObject<LayerEffect>("dead_e"), nullptr);
  const std::string before = State();
  for (const Case& c : kCases) {
    const std::string message = c.message;
    // Released handles of the command's own family, another family's live
    // handle, nil, a number, a string.
    const char* own_dead = message == kTexture ? "dead_t" : message == kLayer ? "dead_L" : "dead_e";
    const char* foreign = message == kLayer ? "t" : "L";
    for (const char* bad : {own_dead, foreign, "nil", "7", "'L'"}) {
      std::string call = c.call;
      call.replace(call.find('%'), 1, bad);
      const std::string code = "n = select('#', " + call + ") r1, r2 = " + call;
      std::string errors;
      LogOf([&] { errors = ErrorsOf([&] { Run(code); }); });
      EXPECT_EQ(errors, message + message) << call;
      EXPECT_EQ(Number("n"), c.results) << call;
      EXPECT_TRUE(IsNil("r1")) << call;
      EXPECT_TRUE(IsNil("r2")) << call;
      EXPECT_EQ(State(), before) << call;
    }
  }
}

TEST_F(BadHandleTest, DeleteLayerTakesANumberOrALiveLayer) {
  const std::string before = State();
  for (const char* bad : {"dead_L", "t", "e", "nil", "'x'"}) {
    std::string errors = ErrorsOf([&] { Run(std::string("DeleteLayer(") + bad + ")"); });
    EXPECT_EQ(errors, kLayer) << bad;
    EXPECT_EQ(State(), before) << bad;
  }
  Run("DeleteLayer(0)");
  EXPECT_EQ(LayerTable::At(0), nullptr);
}

}  // namespace
}  // namespace tessel
