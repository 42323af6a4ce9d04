// MainWindow's part in a live class: joining, the board sent as the core's messages, the
// teacher's board followed from them, and the class's controls. The core decides what goes
// out and what a message does; this file moves bytes between it and the link.
#include "MainWindow.h"

#include "ClassLink.h"
#include "ControlTexts.h"
#include "SurfaceWidget.h"
#include "tools/Tools.h"

#include <QtCore/QDateTime>
#include <QtCore/QTimer>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

namespace pr {

namespace {

// As the page: a snapshot for followers that lost their place at most every 2 s, the kept
// one written again every 10 s, a follower asking for the kept board at most every 2 s.
constexpr int kKeyframeMs = 2000;
constexpr qint64 kKeptAgainMs = 10000;
constexpr qint64 kResyncMs = 2000;

std::string streamOf(const std::string &classTag) { return "CLS_" + classTag; }

} // namespace

live::Action MainWindow::classAction(live::Action::Kind kind, int index)
{
    live::Action a;
    a.kind = kind;
    a.index = index;
    return a;
}

live::Action MainWindow::pointerAction(live::Action::Kind kind, int button, int shift, QPointF at)
{
    live::Action a;
    a.kind = kind;
    a.button = std::int16_t(button);
    a.shift = std::int16_t(shift);
    a.x = at.x();
    a.y = at.y();
    return a;
}

void MainWindow::act(const live::Action &action)
{
    // A board that follows another changes by that board's messages alone.
    if (following_)
        return;
    handle([&](Lesson &l) { outbox_.act(l, action); });
}

bool MainWindow::classTeacher() const { return class_ && class_->credentials().teacher; }

void MainWindow::joinClass()
{
    QDialog dialog(this);
    dialog.setWindowTitle(qText(tool(ToolId::JoinClass).name));
    auto *address = new QLineEdit(&dialog);
    address->setPlaceholderText(QStringLiteral("http://…/#join"));
    auto *code = new QLineEdit(&dialog);
    auto *name = new QLineEdit(&dialog);
    auto *form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("アドレス"), address);
    form->addRow(QStringLiteral("クラスコード"), code);
    form->addRow(QStringLiteral("名前（出席番号でもよい）"), name);
    // The teacher's address carries its key: no code or name to give.
    connect(address, &QLineEdit::textChanged, &dialog, [code, name](const QString &text) {
        const bool pupil = !text.contains(QStringLiteral("#teacher="));
        code->setEnabled(pupil);
        name->setEnabled(pupil);
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("参加する"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() == QDialog::Accepted)
        joinClassAt(address->text(), code->text(), name->text());
}

void MainWindow::joinClassAt(const QString &address, const QString &code, const QString &name)
{
    if (class_)
        leaveClass(QString());
    class_ = new ClassLink(this);
    connect(class_, &ClassLink::failed, this, [this](const QString &text) {
        leaveClass(text);
        QMessageBox::warning(this, qText(tool(ToolId::JoinClass).name), text);
    });
    connect(class_, &ClassLink::joined, this, &MainWindow::startClass);
    connect(class_, &ClassLink::onlineChanged, this, [this](bool on) {
        sayClassState();
        if (on) {
            // Back from an outage: what waited goes out, a follower catches up.
            if (following_)
                resync(true);
            else
                sendToClass();
        }
    });
    connect(class_, &ClassLink::received, this, &MainWindow::receiveFromClass);
    class_->join(address, code, name);
}

void MainWindow::startClass()
{
    const ClassLink::Credentials &c = class_->credentials();
    delete classBar_; // the last class's, saying why it ended
    classBar_ = new QWidget(this);
    auto *row = new QHBoxLayout(classBar_);
    row->setContentsMargins(4, 2, 4, 2);
    classState_ = new QLabel(classBar_);
    row->addWidget(classState_);
    const auto button = [this, row](ClassControlId id) {
        const ClassControl &control = classControl(id);
        auto *b = new QPushButton(qText(control.caption), classBar_);
        b->setAutoDefault(false);
        b->setAccessibleDescription(qText(control.description));
        row->addWidget(b);
        return b;
    };
    keyframes_ = new QTimer(this);
    keyframes_->setInterval(kKeyframeMs);
    connect(keyframes_, &QTimer::timeout, this, &MainWindow::keyframe);
    keyframes_->start();
    if (c.teacher) {
        connect(button(ClassControlId::HandOut), &QPushButton::clicked, this,
                &MainWindow::handOut);
        connect(button(ClassControlId::AllFollow), &QPushButton::clicked, this,
                &MainWindow::allFollow);
        // As on the page, a second press ends it: a stray one must not end the class.
        QPushButton *end = button(ClassControlId::EndClass);
        connect(end, &QPushButton::clicked, this, [this, end] {
            const ClassControl &control = classControl(ClassControlId::EndClass);
            if (end->property("confirming").toBool()) {
                endClass();
                return;
            }
            end->setProperty("confirming", true);
            end->setText(qText(control.confirm));
            placeClassBar();
            QTimer::singleShot(4000, end, [this, end, &control] {
                end->setProperty("confirming", false);
                end->setText(qText(control.caption));
                placeClassBar();
            });
        });
        outbox_.setRecording(true, joinedAt());
    } else {
        followButton_ = button(ClassControlId::Follow);
        exploreButton_ = button(ClassControlId::Explore);
        connect(followButton_, &QPushButton::clicked, this, [this] { setFollowing(true); });
        connect(exploreButton_, &QPushButton::clicked, this, [this] { setFollowing(false); });
        followButton_->setCheckable(true);
        exploreButton_->setCheckable(true);
        const live::Sender teacher{live::Sender::Role::Teacher, c.classTag, {}};
        follower_.emplace(teacher);
        class_->subscribe(live::subjectOf(teacher));
        following_ = false; // so that the next line takes the class's board
        setFollowing(true);
    }
    classBar_->show();
    placeClassBar();
    sayClassState();
    syncFromCore();
}

// A board numbers its actions from the time it began to send, in microseconds since 1970:
// beyond every number it sent before, so that followers never take new for seen.
std::uint64_t MainWindow::joinedAt()
{
    return std::uint64_t(QDateTime::currentMSecsSinceEpoch()) * 1000;
}

void MainWindow::setFollowing(bool on)
{
    if (!class_ || classTeacher())
        return;
    followButton_->setChecked(on);
    exploreButton_->setChecked(!on);
    if (on == following_ && on)
        return;
    following_ = on;
    if (on) {
        outbox_.setRecording(false);
        resync(true);
    } else {
        // The board as it shows becomes the pupil's own: the teacher's grid gets it first.
        outbox_.setRecording(true, joinedAt());
    }
    syncFromCore();
}

void MainWindow::leaveClass(const QString &why)
{
    if (!class_)
        return;
    outbox_.setRecording(false);
    follower_.reset();
    handOut_.reset();
    following_ = false;
    class_->deleteLater();
    class_ = nullptr;
    delete keyframes_;
    keyframes_ = nullptr;
    if (classBar_) {
        // The board stays, to work on or save; the bar says why the class is over.
        for (QPushButton *b : classBar_->findChildren<QPushButton *>())
            b->hide();
        classState_->setText(why);
        if (why.isEmpty()) {
            classBar_->deleteLater();
            classBar_ = nullptr;
            classState_ = nullptr;
        }
    }
    followButton_ = exploreButton_ = nullptr;
    syncFromCore();
}

void MainWindow::sendToClass()
{
    if (!class_ || !outbox_.recording() || !class_->online())
        return;
    const ClassLink::Credentials &c = class_->credentials();
    const live::Sender me{c.teacher ? live::Sender::Role::Teacher : live::Sender::Role::Pupil,
                          c.classTag, c.teacher ? std::string() : c.pupil};
    const std::string actions = outbox_.take();
    if (!actions.empty()) {
        class_->publish(live::subjectOf(me), actions);
        moved_ = true;
    }
    if (outbox_.snapshotWanted())
        sendSnapshot(true);
}

void MainWindow::sendSnapshot(bool liveToo)
{
    const std::string s = outbox_.snapshot(lesson_);
    if (s.empty())
        return; // mid-gesture: after the next change
    const ClassLink::Credentials &c = class_->credentials();
    const live::Sender me{c.teacher ? live::Sender::Role::Teacher : live::Sender::Role::Pupil,
                          c.classTag, c.teacher ? std::string() : c.pupil};
    if (liveToo)
        class_->publish(live::subjectOf(me), s);
    class_->publish(live::snapshotSubjectOf(me), s);
    moved_ = false;
    keptAt_ = QDateTime::currentMSecsSinceEpoch();
}

void MainWindow::keyframe()
{
    if (!class_ || !outbox_.recording() || !class_->online())
        return;
    sendToClass();
    if (moved_)
        sendSnapshot(true);
    else if (QDateTime::currentMSecsSinceEpoch() - keptAt_ >= kKeptAgainMs)
        sendSnapshot(false);
}

void MainWindow::receiveFromClass(const QString &subject, const QByteArray &bytes,
                                  bool withHeaders)
{
    if (!follower_)
        return;
    const std::string subj = subject.toStdString();
    const std::string_view data(bytes.constData(), std::size_t(bytes.size()));
    live::Message m;
    const live::Follower::Verdict v = following_
                                          ? follower_->receive(subj, data, lesson_, &m, withHeaders)
                                          : follower_->controls(subj, data, &m, withHeaders);
    switch (v) {
    case live::Follower::Verdict::Applied:
        syncFromCore();
        break;
    case live::Follower::Verdict::Resync:
        resync(false);
        break;
    case live::Follower::Verdict::Reload:
        leaveClass(QStringLiteral("新しい版になりました。ページを読み込み直してください。"));
        break;
    case live::Follower::Verdict::Control:
        if (m.kind == live::Message::Kind::Follow) {
            if (m.follow)
                setFollowing(true);
        } else if (m.kind == live::Message::Kind::HandOut) {
            // 配る: the teacher's board as the pupil's own, one step to undo.
            setFollowing(false);
            if (live::start(lesson_, m))
                outbox_.wantSnapshot();
            syncFromCore();
        } else if (m.kind == live::Message::Kind::End) {
            leaveClass(QStringLiteral("先生が授業を終えました。板書はこの端末に残っています。"));
        }
        break;
    case live::Follower::Verdict::Dropped:
        break;
    }
}

void MainWindow::resync(bool now)
{
    const qint64 t = QDateTime::currentMSecsSinceEpoch();
    if (!class_ || (!now && t - askedAt_ < kResyncMs))
        return;
    askedAt_ = t;
    const std::string &tag = class_->credentials().classTag;
    class_->askKept(streamOf(tag),
                    live::snapshotSubjectOf({live::Sender::Role::Teacher, tag, {}}));
}

// A teacher's control, after everything sent before it.
bool MainWindow::sendControl(live::Message::Kind kind)
{
    if (!classTeacher())
        return false;
    sendToClass(); // what came before goes first
    class_->publish(live::subjectOf({live::Sender::Role::Teacher, class_->credentials().classTag, {}}),
                    live::encode(live::control(kind, lesson_, outbox_.sent(), true)));
    return true;
}

void MainWindow::handOut()
{
    if (sendControl(live::Message::Kind::HandOut))
        classState_->setText(qText(classControl(ClassControlId::HandOut).done));
}

void MainWindow::allFollow()
{
    if (sendControl(live::Message::Kind::Follow))
        classState_->setText(qText(classControl(ClassControlId::AllFollow).done));
}

void MainWindow::endClass()
{
    if (sendControl(live::Message::Kind::End))
        leaveClass(qText(classControl(ClassControlId::EndClass).done));
}

void MainWindow::sayClassState()
{
    if (!classState_ || !class_)
        return;
    const QString state = class_->online() ? QStringLiteral("接続中") : QStringLiteral("再接続中…");
    const std::string &code = class_->credentials().classCode;
    classState_->setText(code.empty() ? state
                                      : QStringLiteral("コード %1　%2")
                                            .arg(QString::fromStdString(code), state));
}

void MainWindow::placeClassBar()
{
    if (!classBar_)
        return;
    classBar_->adjustSize();
    classBar_->move(0, height() - classBar_->height());
    classBar_->raise();
}

} // namespace pr
