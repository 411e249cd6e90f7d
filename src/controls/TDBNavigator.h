#pragma once

#include <QWidget>

#include <array>

class TOfficeButton;

// The record navigator: ten flat buttons in a row. It only reports which button was clicked;
// whoever binds it to a grid and model moves the cursor, edits, posts and asks questions.
class TDBNavigator : public QWidget
{
    Q_OBJECT

public:
    enum class Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    Q_ENUM(Button)

    static constexpr int ButtonCount = 10;

    explicit TDBNavigator(QWidget *parent = nullptr);

    TOfficeButton *button(Button which) const;
    void setButtonEnabled(Button which, bool enabled);

    static QString hint(Button which);
    static QString pictureName(Button which);

signals:
    void buttonClicked(TDBNavigator::Button button);

private:
    std::array<TOfficeButton *, ButtonCount> m_buttons{};
};
