// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/common/TestSupport.h"

#include <QTimer>

namespace td::test {

PromptRecorder::PromptRecorder()
{
    td::prompts::setMessageHandler(
        [this](QWidget*, td::prompts::Kind kind, const QString& title, const QString& text) {
            prompts << Prompt{kind, title, text};
        });
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

QStringList PromptRecorder::titles() const
{
    QStringList out;
    for (const auto& p : prompts)
        out << p.title;
    return out;
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

QStringList rowsMatching(const QListWidget* list, const QStringList& expected)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows == expected ? rows : QStringList{"rows differ"};
}

} // namespace td::test
