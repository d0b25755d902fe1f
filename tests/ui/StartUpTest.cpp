// varn-gui's start-up: what each command line asks for, the icon built into
// the program, and a file given at start-up loaded on the Bar page.

#include <QComboBox>
#include <QCommandLineParser>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "WindowFixture.h"
#include "ui/MainWindow.h"
#include "ui/StartUp.h"

using namespace varn;

Q_DECLARE_METATYPE(varn::StartUpRequest::Action)

using varn::testing::WriteAll;

class StartUpTest : public varn::testing::WindowFixture {
    Q_OBJECT

  private slots:
    void ReadsWhatTheCommandLineAsks_data() {
        using Action = StartUpRequest::Action;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("file");
        QTest::newRow("nothing") << QStringList{} << Action::Window << "";
        QTest::newRow("a file") << QStringList{"prices.txt"} << Action::Window << "prices.txt";
        QTest::newRow("a file named like an option after --")
            << QStringList{"--", "--odd.txt"} << Action::Window << "--odd.txt";
        QTest::newRow("a file with blanks")
            << QStringList{"my prices.csv"} << Action::Window << "my prices.csv";
        QTest::newRow("two files") << QStringList{"a.txt", "b.txt"} << Action::Error << "";
        QTest::newRow("--help") << QStringList{"--help"} << Action::Help << "";
        QTest::newRow("-h") << QStringList{"-h"} << Action::Help << "";
        QTest::newRow("--help-all") << QStringList{"--help-all"} << Action::Help << "";
        QTest::newRow("help wins over a file")
            << QStringList{"prices.txt", "--help"} << Action::Help << "";
        QTest::newRow("--version") << QStringList{"--version"} << Action::Version << "";
        QTest::newRow("-V") << QStringList{"-V"} << Action::Version << "";
        QTest::newRow("-v is varn's verbose, not a version")
            << QStringList{"-v"} << Action::Error << "";
        QTest::newRow("screenshots are another program's")
            << QStringList{"--screenshot-page", "2", "p.png"} << Action::Error << "";
        QTest::newRow("unknown option") << QStringList{"--colour"} << Action::Error << "";
    }
    void ReadsWhatTheCommandLineAsks() {
        QFETCH(QStringList, arguments);
        QFETCH(StartUpRequest::Action, action);
        QFETCH(QString, file);
        arguments.prepend(QStringLiteral("varn-gui"));
        QCommandLineParser parser;
        const StartUpRequest request = ReadStartUpArguments(parser, arguments);
        QCOMPARE(request.action, action);
        QCOMPARE(request.file, file);
        QCOMPARE(request.error.isEmpty(), action != StartUpRequest::Action::Error);
    }

    void HelpShowsFile() {
        QCommandLineParser parser;
        ReadStartUpArguments(parser, {QStringLiteral("varn-gui"), QStringLiteral("--help")});
        const QString help = parser.helpText();
        QVERIFY(help.contains(QStringLiteral("[FILE]")));
        QVERIFY(help.contains(QStringLiteral("--version")));
    }

    void IconIsBuiltInAtBothSizes() {
        const QIcon icon = VarnIcon();
        QVERIFY(!icon.isNull());
        for (const int size : {48, 256}) {
            const QImage image = icon.pixmap(size, size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // The corners are transparent, the middle is drawn.
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
            QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255);
        }
    }

    void IdentityCarriesVersionAndIcon() {
        SetUpApplicationIdentity();
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(VARN_VERSION));
        QCOMPARE(QGuiApplication::desktopFileName(), QLatin1String(DesktopId));
        QVERIFY(!QApplication::windowIcon().isNull());
    }

    void FileGivenAtStartUpOpensOnBarPage_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("errors");
        QByteArray daily;
        for (int i = 0; i < 120; ++i) daily += "01/02/2001 1.5 1.6 1.4 1.55\r\n";
        QTest::newRow("120 daily lines") << daily << true << 120 << 0;
        QTest::newRow("one line") << QByteArray("01/02/2001 1.5\r\n") << true << 1 << 0;
        QTest::newRow("empty file") << QByteArray() << true << 0 << 0;
        QTest::newRow("missing file") << QByteArray() << false << 0 << 1;
    }
    void FileGivenAtStartUpOpensOnBarPage() {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        QFETCH(int, lines);
        QFETCH(int, errors);
        const QString path = Path("prices.txt");
        QFile::remove(path);
        if (exists) WriteAll(path, content);
        auto* pages = Child<QTabWidget>("pages");
        pages->setCurrentIndex(0);
        window_->LoadBarFile(path);
        WaitUntilIdle();
        QCOMPARE(pages->currentIndex(), 2);
        QCOMPARE(window_->BarLines().Count(), static_cast<std::size_t>(lines));
        QCOMPARE(dialogs_->errors.size(), errors);
        if (errors > 0) QVERIFY(dialogs_->errors.front().contains(QStringLiteral("prices.txt")));
        QCOMPARE(dialogs_->open_asked, 0);
        if (lines > 100) QCOMPARE(Child<QComboBox>("date_layout_list")->currentIndex(), 5);
    }
};

QTEST_MAIN(StartUpTest)
#include "StartUpTest.moc"
