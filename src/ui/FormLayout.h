#pragma once
// A window described as a table that mirrors its layout: each control with its name,
// type, caption, position in twips and tab position. FormBuilder turns it into widgets.
#include <QString>
#include <QStringList>
#include <vector>

enum class ControlType {
    Label,
    TextBox,
    MultiLineTextBox,   // several lines, vertical scroll bar
    ComboBox,           // editable drop-down: list items plus typed text
    Button,
    PictureButton,      // graphical button without caption
    PictureBox,         // an image that can be clicked
    Grid,
    Line,               // left/top/width/height hold x1, y1, x2, y2
    CheckBox,           // caption beside it; flag Checked starts it checked
    GroupBox,           // a frame with its caption; the controls drawn inside it are its own
};

namespace ControlFlag {
enum : unsigned {
    None = 0,
    Disabled = 1u << 0,
    Centred = 1u << 1,       // text centred
    WhiteBordered = 1u << 2, // white background and a single border (clock labels)
    DefaultButton = 1u << 3, // Enter presses it
    CancelButton = 1u << 4,  // Esc presses it
    WordWrap = 1u << 5,
    BlackText = 1u << 6,
    GreyLine = 1u << 7,
    WhiteThickLine = 1u << 8,
    Checked = 1u << 9,
    Buddy = 1u << 10,        // a label that names the next control of the table (its access key moves there)
    Clickable = 1u << 11,    // a picture that acts as a button: reached by Tab, pressed by Space or Enter
};
}

struct ControlLayout
{
    QString name;          // as in the layout, e.g. "dato(3)"; object name "dato_3"
    ControlType type;
    QString caption;       // caption or initial text
    int left, top, width, height;
    int tab = -1;          // position in the focus order; -1 for none
    unsigned flags = ControlFlag::None;
    QStringList items = {};     // list entries of a combo box
    QString image = {};         // resource path of a picture
    QString toolTip = {};
    // What a screen reader calls the control when no label beside or above it names it, and
    // what it adds where the name alone would not say what the control does.
    QString accessibleName = {};
    QString accessibleDescription = {};
};

enum class WindowKind {
    Sizable,      // resizable, minimize and maximize buttons, in the task bar
    FixedDialog,  // title bar with close button only, not resizable, not in the task bar
    FixedSingle,  // not resizable, no minimize or maximize, in the task bar
};

enum class Placement { Platform, CentredOnScreen, At };

struct WindowLayout
{
    QString name;
    QString caption;
    WindowKind kind;
    int clientWidth, clientHeight; // twips
    Placement placement = Placement::Platform;
    int left = 0, top = 0;         // twips, with Placement::At
    std::vector<ControlLayout> controls;
};

// "dato(3)" -> "dato_3": object names that tests and accessibility can find.
QString objectNameFor(const QString &controlName);
