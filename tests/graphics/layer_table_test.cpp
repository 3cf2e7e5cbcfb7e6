// The layer table: placing, moving, swapping and emptying slots; numbers
// outside the table; drawables leaving the table however they die; the
// attribute commands.
#include <memory>

#include "graphics/GraphicsTest.h"
#include "graphics/Layer.h"
#include "graphics/LayerTable.h"

namespace tessel {
namespace {

using test::GlobalObject;
using test::LogOf;

class LayerTableTest : public test::GraphicsScriptTest {
 protected:
  void SetUp() override {
    GraphicsScriptTest::SetUp();
    // No window: the texture images are empty, which layers do not mind.
    LogOf([&] {
      Run("t = LoadTexImage(4, 4) A = CreateLayer(t) B = CreateLayer(t) C = CreateLayer(t)");
    });
  }

  // The table as the names of the globals in each slot, "-" for empty.
  std::string Table() {
    std::string text;
    for (int i = 0; i < LayerTable::Size(); ++i) {
      Drawable* drawable = LayerTable::At(i);
      std::string name = "-";
      for (const char* global : {"A", "B", "C"}) {
        if (drawable != nullptr && drawable == GlobalObject<Layer>(global)) name = global;
      }
      if (drawable != nullptr && name == "-") name = "?";
      text += (i > 0 ? " " : "") + name;
    }
    return text;
  }
};

TEST_F(LayerTableTest, PlacingMovesALayerAndNeverDuplicatesIt) {
  EXPECT_EQ(Table(), "");  // made, not placed
  Run("LayerAddFront(A) LayerAddFront(B)");
  EXPECT_EQ(Table(), "A B");
  Run("LayerAddFront(A)");  // always a new slot at the end
  EXPECT_EQ(Table(), "- B A");
  Run("LayerSet(B, 0)");
  EXPECT_EQ(Table(), "B - A");
  Run("LayerSet(B, 2)");  // A leaves the table, alive
  EXPECT_EQ(Table(), "- - B");
  EXPECT_NE(GlobalObject<Layer>("A"), nullptr);
  Run("LayerSet(A, 0) ChgLayerNum(0, 2)");
  EXPECT_EQ(Table(), "B - A");
  Run("ChgLayerNum(1, 0)");  // with an empty slot
  EXPECT_EQ(Table(), "- B A");
  EXPECT_EQ(LayerTable::SlotOf(GlobalObject<Layer>("B")), 1);
  EXPECT_EQ(LayerTable::SlotOf(GlobalObject<Layer>("A")), 2);
}

TEST_F(LayerTableTest, DeleteLayerEmptiesTheSlotAndKeepsTheLayer) {
  Run("LayerAddFront(A) LayerAddFront(B) LayerAddFront(C)");
  Run("DeleteLayer(A) VisibleLayer(A, true)");
  EXPECT_EQ(Table(), "- B C");
  Run("DeleteLayer(1)");
  EXPECT_EQ(Table(), "- - C");
  Run("x, y = GetLayerOffset(B)");
  EXPECT_EQ(Number("x"), 0);
  EXPECT_EQ(LayerTable::SlotOf(GlobalObject<Layer>("B")), -1);
  Run("LayerSet(B, 0)");  // placed again where it is told
  EXPECT_EQ(Table(), "B - C");
}

TEST_F(LayerTableTest, NumbersOutsideTheTableChangeNothing) {
  Run("LayerAddFront(A) LayerAddFront(B)");
  for (const char* code :
       {"LayerSet(A, 2)", "LayerSet(B, -1)", "ChgLayerNum(0, 9)", "ChgLayerNum(-3, 1)",
        "DeleteLayer(5)", "DeleteLayer(-1)", "LayerSet(C, 1e12)"}) {
    std::string log = LogOf([&] { Run(code); });
    EXPECT_NE(log.find("outside the table"), std::string::npos) << code << ": " << log;
    EXPECT_EQ(Table(), "A B") << code;
  }
  EXPECT_EQ(LayerTable::SlotOf(GlobalObject<Layer>("C")), -1);
}

TEST_F(LayerTableTest, ADrawableLeavesTheTableHoweverItDies) {
  Run("LayerAddFront(A) LayerAddFront(B) LayerAddFront(C) ReleaseLayer(B)");
  EXPECT_EQ(Table(), "A - C");

  struct Probe final : Drawable {
    void Draw() override {}
  };
  auto probe = std::make_unique<Probe>();
  LayerTable::AddFront(probe.get());
  EXPECT_EQ(LayerTable::At(3), probe.get());
  probe.reset();
  EXPECT_EQ(LayerTable::At(3), nullptr);

  Registry().ReleaseAll();
  EXPECT_EQ(LayerTable::Size(), 4);  // the table only grows
  for (int i = 0; i < 4; ++i) EXPECT_EQ(LayerTable::At(i), nullptr) << i;
}

TEST_F(LayerTableTest, AttributeCommandsStoreWhatTheyAreGiven) {
  Run("OffsetLayer(A, 12.9, -7.9) x, y = GetLayerOffset(A)");
  EXPECT_EQ(Number("x"), 12);  // truncated toward zero
  EXPECT_EQ(Number("y"), -7);
  Layer& a = *GlobalObject<Layer>("A");

  Run("ChgLayerAlpha(A, 1.5)");
  EXPECT_EQ(a.Alpha(), 1.5);  // GL clamps when drawing
  Run("ChgLayerAlpha(A, 0/0)");
  EXPECT_EQ(a.Alpha(), 1.5);  // NaN keeps the old value
  Run("ChgLayerAlpha(A, -0.25)");
  EXPECT_EQ(a.Alpha(), -0.25);

  Run("ScaleLayer(A, 2, 3, 4) RotateLayer(A, 10, 20, 30) SetTransformCenter(A, 5, 6, 7)");
  EXPECT_EQ(a.Scale().y, 3);
  EXPECT_EQ(a.Rotation().z, 30);
  EXPECT_EQ(a.TransformCenter().x, 5);

  Run("VisibleLayer(A, false)");
  EXPECT_FALSE(a.Visible());
  Run("VisibleLayer(A, 0)");  // Lua truth: 0 is true
  EXPECT_TRUE(a.Visible());
  Run("VisibleLayer(A)");
  EXPECT_FALSE(a.Visible());

  Run("SetLayerBlendParam(A, 770, 1)");
  EXPECT_EQ(a.BlendSource(), 770);
  EXPECT_EQ(a.BlendDestination(), 1);
  std::string log =
      LogOf([&] { Run("SetLayerBlendParam(A, 12345, 771) SetLayerBlendParam(A, 1, 776)"); });
  EXPECT_NE(log.find("12345"), std::string::npos) << log;
  EXPECT_NE(log.find("776"), std::string::npos) << log;  // saturate is a source factor only
  EXPECT_EQ(a.BlendSource(), 770);
  EXPECT_EQ(a.BlendDestination(), 1);
}

}  // namespace
}  // namespace tessel
