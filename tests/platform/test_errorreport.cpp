// An exception escaping an event handler is reported with its message, and the
// event loop keeps running.

#include "platform_ui/errorreport.h"
#include "errors/errors.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Replaces the reporter with one that records, for the lifetime of the fixture.
class ErrorReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        moPrevious = TVuploraApplication::SetErrorReporter(
            [this](const QString &asMessage) { moReported.append(asMessage); });
    }
    void TearDown() override { TVuploraApplication::SetErrorReporter(moPrevious); }

    QStringList moReported;
    TErrorReporter moPrevious;
};

// A widget whose handler for a posted event fails.
class TFailingWidget : public QWidget {
public:
    int Received = 0;

protected:
    bool event(QEvent *aoEvent) override
    {
        if (aoEvent->type() != QEvent::User)
            return QWidget::event(aoEvent);
        ++Received;
        throw EVuploraError(QStringLiteral("Loading bitmap failed."));
    }
};

TEST_F(ErrorReport, EscapedExceptionsAreReportedAndTheLoopContinues)
{
    TFailingWidget widget;
    QEventLoop loop;
    bool laterEventRan = false;
    QTimer::singleShot(0, [] { throw EVuploraError(QStringLiteral("Saving bitmap failed.")); });
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QTimer::singleShot(10, [&] {
        laterEventRan = true;
        loop.quit();
    });
    // A safety net so a broken loop fails the test instead of hanging it.
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(laterEventRan);
    EXPECT_EQ(widget.Received, 2);
    moReported.sort();
    EXPECT_EQ(moReported, (QStringList{QStringLiteral("Loading bitmap failed."),
                                       QStringLiteral("Loading bitmap failed."),
                                       QStringLiteral("Saving bitmap failed.")}));
}

// Handlers behind clicks catch at their own boundary; the report is the same.
TEST_F(ErrorReport, ReportingClickHandlerReportsEachTime)
{
    QPushButton button(QStringLiteral("Go"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, Reporting([&] {
        ++clicks;
        throw EVuploraError(QStringLiteral("Resource res_logo_cn not found"));
    }));
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    // The button still takes clicks after the first failure.
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(moReported, QStringList(2, QStringLiteral("Resource res_logo_cn not found")));
}

TEST_F(ErrorReport, MessageOfEveryKindOfException)
{
    struct Case {
        const char *what;
        void (*raise)();
        QString expected;
    };
    const Case cases[] = {
        {"application error, non-ASCII text",
         [] { throw EVuploraError(QStringLiteral("维普乐 - 保存失败")); },
         QStringLiteral("维普乐 - 保存失败")},
        {"derived application error", [] { throw EArgumentOutOfRange(); },
         QStringLiteral("Argument out of range")},
        {"standard library error", [] { throw std::out_of_range("vector index"); },
         QStringLiteral("vector index")},
        {"not an exception class", [] { throw 42; }, QStringLiteral("Unknown exception")},
    };
    for (const Case &c : cases) {
        moReported.clear();
        QObject receiver;
        QTimer::singleShot(0, &receiver, c.raise);
        QTest::qWait(1);
        QCoreApplication::processEvents();
        EXPECT_EQ(moReported, QStringList{c.expected}) << c.what;
    }
}

TEST(ErrorReportDefault, ShowsTheMessageInAMessageBox)
{
    // The default reporter is back in force after an empty one is set.
    const TErrorReporter previous = TVuploraApplication::SetErrorReporter({});
    QString shownText;
    QEventLoop loop;
    QTimer::singleShot(0, [] { throw EVuploraError(QStringLiteral("Loading bitmap failed.")); });
    // Runs inside the message box's own loop: read the box, close it, and end the
    // outer loop once the box has returned.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shownText = box->text();
            box->accept();
            QTimer::singleShot(0, &loop, &QEventLoop::quit);
        }
    });
    poll.start(10);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    TVuploraApplication::SetErrorReporter(previous);
    EXPECT_EQ(shownText, QStringLiteral("Loading bitmap failed."));
}

} // namespace
