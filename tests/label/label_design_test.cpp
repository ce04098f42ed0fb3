#include "label/label_design.h"
#include "label_samples.h"

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

TEST(LabelDesign, VariableLookups)
{
    VariableTable t;
    ResetVariables(t);
    t[3].name = "code";
    t[45].name = "code";     // a second "code": the lower index wins
    t[0].name = "zero";      // entry 0 and the special entries are never matched
    t[101].name = "serial";
    t[90].name = "";
    t[90].initialValue = "3.5";
    t[45].initialValue = "12";

    struct Row { const char* what; std::string argument; std::string defaultOf, currentOf, initialOf; };
    const Row rows[] = {
        {"renamed", "code", "str03", "code", "code"},
        {"default name", "int15", "int15", "code", "12"},
        {"float", "flt10", "flt10", "", "3.5"},
        {"cleared name", "", "flt10", "", ""},
        {"unknown", "nothing", "nothing", "nothing", "nothing"},
        {"entry 0", "zero", "zero", "zero", "zero"},
        {"entry 0 by default name", "Constant", "Constant", "Constant", "Constant"},
        {"special entry", "serial", "serial", "serial", "serial"},
        {"case matters", "STR01", "STR01", "STR01", "STR01"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(DefaultNameOf(t, r.argument), r.defaultOf);
        EXPECT_EQ(CurrentNameOf(t, r.argument), r.currentOf);
        EXPECT_EQ(InitialValueOf(t, r.argument), r.initialOf);
    }
}

TEST(LabelDesign, SlotsAndLimits)
{
    LabelDesign d;
    for (int i = 0; i < 14; ++i)
        addElement(d, ElementKind::Barcode, 0, 0, 0, 0, "int01");
    EXPECT_EQ(d.VariableSlots(), 28);
    EXPECT_TRUE(d.CanAdd(ElementKind::Barcode));  // a 15th barcode reaches exactly 30
    addElement(d, ElementKind::Field, 0, 0, 0, 0, "int01");
    EXPECT_EQ(d.VariableSlots(), 29);
    EXPECT_FALSE(d.CanAdd(ElementKind::Barcode));
    EXPECT_TRUE(d.CanAdd(ElementKind::Field));
    addElement(d, ElementKind::Field, 0, 0, 0, 0, "int01");
    EXPECT_FALSE(d.CanAdd(ElementKind::Field));
    EXPECT_TRUE(d.CanAdd(ElementKind::Text));
    EXPECT_TRUE(d.CanAdd(ElementKind::Line));

    // Deleting a barcode frees two slots.
    d.Elements.erase(d.Elements.begin());
    EXPECT_EQ(d.VariableSlots(), 28);
    EXPECT_TRUE(d.CanAdd(ElementKind::Barcode));

    while (d.Elements.size() < 100)
        addElement(d, ElementKind::Line, 0, 0, 0, 0);
    EXPECT_FALSE(d.CanAdd(ElementKind::Line));
    EXPECT_FALSE(d.CanAdd(ElementKind::Text));
}

TEST(LabelDesign, CopiesOwnTheirElements)
{
    LabelDesign original = workedExampleDesign();
    LabelDesign copy = original;
    static_cast<TYazi&>(*copy.Elements[1]).Text = "changed";
    copy.Elements[2]->X = 99;
    EXPECT_EQ(static_cast<TYazi&>(*original.Elements[1]).Text, "ABC");
    EXPECT_EQ(original.Elements[2]->X, 5);
    ASSERT_EQ(copy.Elements.size(), 4u);
    EXPECT_EQ(copy.Elements[3]->kind(), ElementKind::Barcode);
}

TEST(LabelDesign, SurfaceSizes)
{
    const double pixelsPerMm = 96 / 25.4;
    struct Row { const char* type; const char* direction; double ppm; int width, height; };
    const Row rows[] = {
        {"Et40x20", "Horizontal", pixelsPerMm, 76, 151},
        {"Et40x20", "Vertical", pixelsPerMm, 151, 76},
        {"Et30x60", "Vertical", 2.0, 60, 120},
        {"Et125x100", "Horizontal", 1.0, 100, 125},
        {"Et45x85", "Horizontal", 0.5, 42, 22},  // 42.5 and 22.5: halves go to the even neighbour
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.type) + " " + r.direction);
        auto size = surfaceSizeOf(r.type, r.direction, r.ppm);
        ASSERT_TRUE(size);
        EXPECT_EQ(size->first, r.width);
        EXPECT_EQ(size->second, r.height);
    }
    EXPECT_FALSE(surfaceSizeOf("Et1x1", "Horizontal", 1.0));
    EXPECT_EQ(labelSizeMm("Et100x125"), (std::pair{100, 125}));
}

TEST(LabelDesign, KindNames)
{
    for (ElementKind k : {ElementKind::Field, ElementKind::Text, ElementKind::Line, ElementKind::Barcode}) {
        EXPECT_EQ(kindFromName(kindName(k)), k);
        EXPECT_EQ(makeElement(k)->kind(), k);
    }
    EXPECT_FALSE(kindFromName("alan"));  // exact names only
    EXPECT_FALSE(kindFromName(""));
}
