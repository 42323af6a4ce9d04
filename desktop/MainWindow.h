#pragma once
#include "FontFamilies.h"
#include "LetterImages.h"
#include "lesson/Lesson.h"

#include <QtCore/QString>
#include <QtWidgets/QWidget>
#include <array>

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;


namespace pr {

class ScaledIndicatorStyle;
class SurfaceWidget;

// The lesson window: real buttons, option buttons and labels laid out from the form's design,
// around the drawing surface. The whole form scales uniformly with the window.
//
// Every user action reaches the core here and only here: a button, an option or a surface
// event becomes a call of the lesson's entry point for it, followed by one sync of the
// widgets and the surface with the form.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Lesson &lesson() { return lesson_; }
    const Form1 &form() const { return lesson_.form; }
    SurfaceWidget *surface() const { return surface_; }
    QPushButton *commandButton(int number) const; // 1..4
    QRadioButton *optionButton(int index) const;  // 0..7
    QLabel *heading() const { return heading_; }
    QLabel *rowCaption(int index) const { return rowCaptions_[std::size_t(index)]; }
    double formScale() const;

    // Resources that failed to load at start-up (empty when all is well).
    const QString &resourceErrors() const { return resourceErrors_; }

    QSize sizeHint() const override;

    // Opens the window at 811 x 702 where the screen has room, scaled down where not.
    void showAtStartSize();

    // Runs one user action on the lesson, then brings every widget and the surface in line
    // with the form; ends the program once 終了 was clicked.
    template <typename Action> void handle(Action &&action)
    {
        action(lesson_);
        syncFromCore();
    }

protected:
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void syncFromCore();
    void buildControls();
    void relayout();

    Lesson lesson_;
    FontFamilies fonts_;
    LetterImages letters_;
    QString resourceErrors_;
    QLabel *heading_ = nullptr;
    std::array<QLabel *, 2> rowCaptions_{};
    std::array<QPushButton *, 4> commands_{};
    std::array<QRadioButton *, 8> options_{};
    QButtonGroup *optionGroup_ = nullptr;
    ScaledIndicatorStyle *optionStyle_ = nullptr;
    SurfaceWidget *surface_ = nullptr;
    double scale_ = 1;
    bool followsScreen_ = false;
    double layoutDpr_ = 0; // device pixel ratio the controls were last placed for
};

} // namespace pr
