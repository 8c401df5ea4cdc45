#include "FieldLabels.h"

namespace {

// Fields that show no caption of their own and so need a label to be named.
bool isField(ControlType type)
{
    return type == ControlType::TextBox || type == ControlType::MultiLineTextBox || type == ControlType::ComboBox;
}

bool sharesLine(const ControlLayout &a, const ControlLayout &b)
{
    return a.top < b.top + b.height && b.top < a.top + a.height;
}

bool sharesColumn(const ControlLayout &a, const ControlLayout &b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width;
}

// A label more than this far above a field belongs to something else.
constexpr int kAboveTwips = 480;

} // namespace

QHash<QString, const ControlLayout *> fieldLabels(const std::vector<ControlLayout> &controls)
{
    QHash<QString, const ControlLayout *> found;
    for (const ControlLayout &field : controls) {
        if (!isField(field.type))
            continue;
        const ControlLayout *left = nullptr, *above = nullptr;
        for (const ControlLayout &label : controls) {
            if (label.type != ControlType::Label || label.caption.isEmpty())
                continue;
            if (sharesLine(label, field) && label.left < field.left && (!left || label.left > left->left))
                left = &label;
            const int gap = field.top - (label.top + label.height);
            if (gap >= -30 && gap <= kAboveTwips && label.top < field.top && sharesColumn(label, field)
                && (!above || label.top > above->top))
                above = &label;
        }
        // Another control between the label and the field on that line takes the label.
        for (const ControlLayout &other : controls) {
            if (left && &other != &field && other.type != ControlType::Label && other.type != ControlType::Line
                && sharesLine(other, field) && other.left > left->left && other.left < field.left)
                left = nullptr;
        }
        if (const ControlLayout *label = left ? left : above)
            found.insert(field.name, label);
    }
    return found;
}

QString nameFromCaption(const QString &caption)
{
    QString name;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && ++i == caption.size())
            break; // "&&" is a literal ampersand, any other '&' marks the access key
        name += caption.at(i);
    }
    name = name.trimmed();
    while (name.endsWith(u':'))
        name.chop(1);
    return name.trimmed();
}
