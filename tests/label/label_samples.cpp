#include "label_samples.h"

namespace qvt::test {

VariableTable resetTable()
{
    VariableTable t;
    ResetVariables(t);
    return t;
}

LabelDesign workedExampleDesign()
{
    LabelDesign d;
    d.LabelType = "Et40x20";
    d.Direction = "Horizontal";
    d.BarcodeType = "ITF25";
    d.SurfaceWidth = 76;
    d.SurfaceHeight = 151;
    addElement(d, ElementKind::Field, 10, 40, 40, 30, "str01", 3);
    addElement(d, ElementKind::Text, 10, 70, 40, 55, "ABC", 4);
    addElement(d, ElementKind::Line, 5, 80, 65, 78);
    addElement(d, ElementKind::Barcode, 10, 140, 50, 87, "int02", 3);
    return d;
}

LabelDesign sampleProjectDesign()
{
    LabelDesign d;
    d.LabelType = "Et40x20";
    d.Direction = "Horizontal";
    d.BarcodeType = "CODE39";
    d.SurfaceWidth = 76;
    d.SurfaceHeight = 151;
    addElement(d, ElementKind::Text, 8, 34, 58, 18, "STOCK", 4);
    addElement(d, ElementKind::Field, 8, 56, 38, 44, "int01", 3);
    addElement(d, ElementKind::Line, 4, 64, 64, 62);
    addElement(d, ElementKind::Barcode, 8, 140, 68, 80, "str01", 3);
    return d;
}

} // namespace qvt::test
