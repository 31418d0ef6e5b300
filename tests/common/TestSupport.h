// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/common/RulesSupport.h"

#include "common/Prompts.h"
#include "common/SoundPlayer.h"

#include <QtTest>
#include <QtWidgets>

namespace td::test {

/// Records what would have played; a probe answers from `problems`.
class FakeSoundPlayer : public td::SoundPlayer
{
public:
    FakeSoundPlayer() { td::setSoundPlayer(this); }
    ~FakeSoundPlayer() override { td::setSoundPlayer(nullptr); }
    void probe(const QString& fullPath, QObject*, std::function<void(const QString&)> done) override
    {
        done(problems.value(fullPath));
    }
    QStringList played;
    QList<QObject*> repeating; ///< owners whose sound plays on
    QHash<QString, QString> problems;

protected:
    void start(const QString& fullPath, QObject* owner) override
    {
        played << fullPath;
        if (owner)
            repeating << owner;
    }
    void halt(QObject* owner) override { repeating.removeAll(owner); }
};

/// Records every message box, question and notice, answers every question
/// with `answer` and cancels every file dialog, without a nested event loop.
class PromptRecorder
{
public:
    PromptRecorder();
    ~PromptRecorder();
    QStringList prompts; ///< "title: text" of each message box
    QStringList questions;
    bool answer = false;
    QStringList notices;
};

/// Run `action` on the active modal widget as soon as the event loop spins,
/// e.g. before calling a slot that exec()s a dialog.
void whenModal(std::function<void(QWidget*)> action, int timeoutMs = 3000);

/// Answers the next modal Editor: `fill` gets its form, then Apply is pressed (Cancel
/// when not `apply`); an editor that refuses and stays open is cancelled.
template <typename Editor, typename Fill> void answerEditor(Fill fill, bool apply = true)
{
    whenModal([fill, apply](QWidget* modal) {
        auto* editor = qobject_cast<Editor*>(modal);
        QVERIFY(editor);
        fill(editor->ui.get());
        QTest::mouseClick(apply ? editor->ui->applyButton : editor->ui->cancelButton,
                          Qt::LeftButton);
        if (editor->isVisible())
            editor->reject();
    });
}

/// What keeps `window`, as it is shown now, from being used by keyboard alone:
/// a mnemonic used twice, a labelled field or text button without one, or an
/// input no label leads to (unless it follows a reachable one on its row, or
/// is one of `followers`, reached by Tab from the one before).
QStringList keyboardProblems(QWidget* window, const QStringList& followers = {});

/// The child of `parent` called `name`; a missing one ends the run with its name.
template <typename T = QWidget> T* child(const QObject* parent, const QString& name)
{
    T* found = parent->findChild<T*>(name);
    if (!found)
        qFatal("no %s called \"%s\"", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

/// The texts of a list's rows.
QStringList rowTexts(const QListWidget* list);

} // namespace td::test

/// main() for a widget test: an application on the offscreen platform (unless
/// QT_QPA_PLATFORM says otherwise), English plurals.
#define TIDRA_TEST_MAIN(TestObject) TIDRA_TEST_MAIN_WITH(QApplication, TestObject)
