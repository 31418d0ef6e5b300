// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/common/TestSupport.h"

namespace td::test {

PromptRecorder::PromptRecorder()
{
    td::prompts::setMessageHandler([this](QWidget*, td::prompts::Kind, const QString& title,
                                          const QString& text) { prompts << title + ": " + text; });
    td::prompts::setQuestionHandler([this](QWidget*, const QString&, const QString& text) {
        questions << text;
        return answer;
    });
    td::prompts::setNoticeHandler([this](const QString& text) { notices << text; });
    // A file dialog answers as if cancelled.
    td::prompts::setOpenFileHandler(
        [](QWidget*, const QString&, const QString&, const QString&) { return QString(); });
}

PromptRecorder::~PromptRecorder()
{
    td::prompts::setMessageHandler({});
    td::prompts::setQuestionHandler({});
    td::prompts::setNoticeHandler({});
    td::prompts::setOpenFileHandler({});
}

void whenModal(std::function<void(QWidget*)> action, int timeoutMs)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<qint64>(0);
    // A dialog that never came must not be answered in a later test function by
    // a lambda whose captured locals are gone.
    const QByteArray owner =
        QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action, started, timeoutMs, owner]() {
        *started += 10;
        const QByteArray current =
            QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
        QWidget* modal = current == owner ? QApplication::activeModalWidget() : nullptr;
        if (!modal && current == owner && *started <= timeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        if (modal)
            action(modal);
    });
    timer->start();
}

QStringList rowTexts(const QListWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

namespace {

// Parts of compound widgets (a spin box's line edit, a calendar's table) are
// reached through the widget they belong to.
bool isPart(QWidget* w, QWidget* window)
{
    for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QComboBox*>(p) ||
            qobject_cast<QCalendarWidget*>(p) || qobject_cast<QAbstractItemView*>(p))
            return true;
    return false;
}

bool isInput(QWidget* w)
{
    return (qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
            qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w)) &&
           !w->property("readOnly").toBool();
}

} // namespace

QStringList keyboardProblems(QWidget* window, const QStringList& followers)
{
    QStringList problems;
    QMap<QString, QStringList> users; // by the key a mnemonic gives, as "Alt+X"
    QSet<QWidget*> labelled;
    QList<QGroupBox*> groups;
    const auto use = [&problems, &users](const QString& text, const QString& who, bool needed) {
        const QString m = QKeySequence::mnemonic(text).toString();
        if (m.isEmpty() && needed)
            problems << who + ": no mnemonic in " + text;
        users[m] << who;
        return m;
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || isPart(w, window))
            continue;
        if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy()) {
            if (!use(label->text(), w->objectName(), true).isEmpty())
                labelled << label->buddy();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w);
                   // A button box's buttons answer Return and Escape.
                   button && button->text().contains(QRegularExpression("\\p{L}")) &&
                   !qobject_cast<QDialogButtonBox*>(w->parentWidget())) {
            use(button->text(), w->objectName(), true);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            if (!use(group->title(), w->objectName(), false).isEmpty())
                groups << group;
        } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                use(tabs->tabText(i), w->objectName() + "/" + QString::number(i), true);
        }
    }
    users.remove(QString());
    for (auto it = users.cbegin(); it != users.cend(); ++it)
        if (it.value().size() > 1)
            problems << QString("mnemonic %1 used by %2").arg(it.key()).arg(it.value().join(", "));

    // The Tab order of what can take the focus now.
    QList<QWidget*> chain;
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() &&
            !isPart(w, window) && !chain.contains(w))
            chain << w;
    auto rectOf = [window](QWidget* w) { return QRect(w->mapTo(window, QPoint()), w->size()); };
    auto sameRow = [](const QRect& a, const QRect& b) {
        return std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) >
               std::min(a.height(), b.height()) / 2;
    };
    // A group box's mnemonic leads to the first of its fields.
    for (QGroupBox* group : groups)
        for (QWidget* w : chain)
            if (group->isAncestorOf(w)) {
                labelled << w;
                break;
            }
    QWidget* previous = nullptr;
    bool previousReachable = false;
    for (QWidget* w : chain) {
        if (isInput(w)) {
            const bool reachable =
                labelled.contains(w) ||
                (previous && previousReachable &&
                 (sameRow(rectOf(previous), rectOf(w)) || followers.contains(w->objectName())));
            if (!reachable)
                problems << w->objectName() + ": no mnemonic leads to it";
            previousReachable = reachable;
        } else {
            previousReachable = labelled.contains(w) || qobject_cast<QAbstractButton*>(w);
        }
        previous = w;
    }
    return problems;
}

} // namespace td::test
