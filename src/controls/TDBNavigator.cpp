#include "controls/TDBNavigator.h"

#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"

#include <QHBoxLayout>
#include <QMetaEnum>

namespace {

struct ButtonFace
{
    const char *picture;
    const char *hint;
};

// In the order of TDBNavigator::Button.
constexpr std::array<ButtonFace, TDBNavigator::ButtonCount> Faces{{
    {"first", "First record"},
    {"prior", "Prior record"},
    {"next", "Next record"},
    {"last", "Last record"},
    {"insert", "Insert record"},
    {"remove", "Delete record"},
    {"edit", "Edit record"},
    {"post", "Post edit"},
    {"cancel", "Cancel edit"},
    {"refresh", "Refresh data"},
}};

const ButtonFace &faceOf(TDBNavigator::Button which)
{
    return Faces.at(static_cast<size_t>(which));
}

} // namespace

TDBNavigator::TDBNavigator(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const QMetaEnum names = QMetaEnum::fromType<Button>();
    for (int i = 0; i < ButtonCount; ++i) {
        const auto which = static_cast<Button>(i);
        auto *b = new TOfficeButton(this);
        b->setObjectName(QString::fromLatin1(names.valueToKey(i)) + QLatin1String("Btn"));
        b->setGlyph(TToolPanel::picture(pictureName(which)));
        b->setHint(hint(which));
        b->setFixedSize(TOfficeButton::DefaultSize, TOfficeButton::DefaultSize);
        connect(b, &TOfficeButton::clicked, this, [this, which] { emit buttonClicked(which); });
        layout->addWidget(b);
        m_buttons.at(static_cast<size_t>(i)) = b;
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

TOfficeButton *TDBNavigator::button(Button which) const
{
    return m_buttons.at(static_cast<size_t>(which));
}

void TDBNavigator::setButtonEnabled(Button which, bool enabled)
{
    button(which)->setEnabled(enabled);
}

QString TDBNavigator::hint(Button which)
{
    return QString::fromLatin1(faceOf(which).hint);
}

QString TDBNavigator::pictureName(Button which)
{
    return QString::fromLatin1(faceOf(which).picture);
}
