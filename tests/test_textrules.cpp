#include "ByteLimit.h"
#include "DataFolder.h"
#include "TNumberEdit.h"
#include "TestEnv.h"
#include "TextRules.h"

#include <QSignalSpy>
#include <QTest>

TEST(TextRules, BlankTrimAndByteLength)
{
    struct Case {
        QString in;
        bool blank;
        QString trimmed;
        QString right;
        int bytes;
    } cases[] = {
        {QString(), true, QString(), QString(), 0},
        {QStringLiteral(" \t\r\n"), true, QString(), QString(), 4},
        {QStringLiteral("　"), false, QStringLiteral("　"), QStringLiteral("　"), 2}, // full-width space stays
        {QStringLiteral("  山田 "), false, QStringLiteral("山田"), QStringLiteral("  山田"), 7},
        {QStringLiteral("O'Brien"), false, QStringLiteral("O'Brien"), QStringLiteral("O'Brien"), 7},
        {QStringLiteral("ｶﾀｶﾅ"), false, QStringLiteral("ｶﾀｶﾅ"), QStringLiteral("ｶﾀｶﾅ"), 4},         // half-width kana 1 byte
        {QStringLiteral("ちゃん"), false, QStringLiteral("ちゃん"), QStringLiteral("ちゃん"), 6},
        {QStringLiteral("𠮷田"), false, QStringLiteral("𠮷田"), QStringLiteral("𠮷田"), 4},         // outside cp932: 2
        {QStringLiteral("髙﨑"), false, QStringLiteral("髙﨑"), QStringLiteral("髙﨑"), 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in.toStdString());
        EXPECT_EQ(text::isBlank(c.in), c.blank);
        EXPECT_EQ(text::trim(c.in), c.trimmed);
        EXPECT_EQ(text::trimRight(c.in), c.right);
        EXPECT_EQ(text::sjisLength(c.in), c.bytes);
    }
}

TEST(TextRules, CutNeverSplitsACharacter)
{
    struct Case {
        QString in;
        int max;
        QString out;
    } cases[] = {
        {QStringLiteral("abc"), 5, QStringLiteral("abc")},
        {QStringLiteral("aあい"), 2, QStringLiteral("a")},  // あ would need bytes 2..3
        {QStringLiteral("aあい"), 3, QStringLiteral("aあ")},
        {QStringLiteral("𠮷田"), 1, QString()},             // surrogate pair kept whole or not at all
        {QStringLiteral("𠮷田"), 3, QStringLiteral("𠮷")},
        {QStringLiteral("ｱｲｳ"), 2, QStringLiteral("ｱｲ")},
        {QStringLiteral("あ"), 0, QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in.toStdString() + " / " + std::to_string(c.max));
        EXPECT_EQ(text::sjisCut(c.in, c.max), c.out);
    }
}

TEST(DataFolderRule, AppendsKivoraWithOneSeparator)
{
    EXPECT_EQ(dataFolderFrom(QStringLiteral("/home/u/.local/share")), QStringLiteral("/home/u/.local/share/Kivora/"));
    EXPECT_EQ(dataFolderFrom(QStringLiteral("/home/u/.local/share/")), QStringLiteral("/home/u/.local/share/Kivora/"));
    // A Windows path with backslashes, with and without the trailing one.
    EXPECT_EQ(dataFolderFrom(QStringLiteral("C:\\Users\\u\\AppData\\Roaming")), QStringLiteral("C:\\Users\\u\\AppData\\Roaming/Kivora/"));
    EXPECT_EQ(dataFolderFrom(QStringLiteral("C:\\Users\\u\\AppData\\Roaming\\")), QStringLiteral("C:\\Users\\u\\AppData\\Roaming\\Kivora/"));
}

TEST(NumberBox, ClampsAndRedisplaysOnLeaving)
{
    struct Case {
        const char *typed;
        int value;
    } cases[] = {{"", 0}, {"0", 0}, {"12", 12}, {"99999999", 99999999}, {"123456789", 99999999},
                 {"-5", 0}, {"12.9", 12}, {"-", 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(TNumberEdit::valueOf(QString::fromLatin1(c.typed)), c.value);
    }

    QWidget window;
    auto *box = new TNumberEdit(&window);
    auto *other = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    box->setFocus();
    box->clear();
    QTest::keyClicks(box, QStringLiteral("123456789"));
    QSignalSpy exited(box, &TNumberEdit::exited);
    other->setFocus();
    EXPECT_EQ(box->text(), QStringLiteral("99999999"));
    EXPECT_EQ(box->value(), 99999999);
    EXPECT_GE(exited.count(), 1);
}

TEST(ByteLimitEdit, TypingAndPastingStopAtTheLimit)
{
    // The rule: the inserted part is cut to what fits, the rest stays.
    EXPECT_EQ(ByteLimit::fit(QStringLiteral("ab"), QStringLiteral("abあいう"), 6), QStringLiteral("abあい"));
    EXPECT_EQ(ByteLimit::fit(QStringLiteral("ちゃ"), QStringLiteral("ちゃん"), 6), QStringLiteral("ちゃん"));
    EXPECT_EQ(ByteLimit::fit(QStringLiteral("ちゃん"), QStringLiteral("ちゃんだ"), 6), QStringLiteral("ちゃん"));
    EXPECT_EQ(ByteLimit::fit(QStringLiteral("a"), QStringLiteral("a𠮷𠮷𠮷"), 6), QStringLiteral("a𠮷𠮷"));
    EXPECT_EQ(ByteLimit::fit(QStringLiteral("ac"), QStringLiteral("aあいc"), 4), QStringLiteral("aあc"));
    // A text loaded longer than the limit: deleting works, inserting does not.
    EXPECT_EQ(ByteLimit::fit(QStringLiteral("あいうえ"), QStringLiteral("あいう"), 4), QStringLiteral("あいう"));
    EXPECT_EQ(ByteLimit::fit(QStringLiteral("あいうえ"), QStringLiteral("あいうxえ"), 4), QStringLiteral("あいうえ"));

    // Typed through the input method, as Japanese text arrives.
    QLineEdit edit;
    ByteLimit::apply(&edit, 6);
    commitText(&edit, QStringLiteral("ちゃんだ"));
    EXPECT_EQ(edit.text(), QStringLiteral("ちゃん"));
    edit.clear();
    commitText(&edit, QStringLiteral("𠮷田様x"));
    EXPECT_EQ(edit.text(), QStringLiteral("𠮷田様"));
    // Text loaded by the program is kept even when longer.
    edit.setText(QStringLiteral("あいうえお"));
    EXPECT_EQ(edit.text(), QStringLiteral("あいうえお"));
    // ... and editing it keeps what was loaded: typing in the middle adds
    // nothing, Backspace removes one character.
    edit.setFocus();
    edit.setCursorPosition(2);
    commitText(&edit, QStringLiteral("か"));
    EXPECT_EQ(edit.text(), QStringLiteral("あいうえお"));
    edit.setCursorPosition(5);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("あいうえ"));
}
