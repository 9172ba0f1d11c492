#include "gui/MainWindowTexts.h"

namespace lw {

QStringList ManualLines() {
    return {
        QStringLiteral("Welcome to Loamwright!"),
        QString(),
        QStringLiteral("Here's a short manual:"),
        QStringLiteral(
            "1. To start first enter the filenames at the bottom. If they are valid, the "),
        QStringLiteral("  background will turn green."),
        QStringLiteral(
            "2. If all files are entered, you must press the \"GetStaticIndex\"-button."),
        QStringLiteral("  Please wait untill the other buttons become pressable."),
        QString(),
        QStringLiteral("Some things you need to know:"),
        QStringLiteral(
            "The X and Y fields are used to select a block. Each block contains 8x8 tiles. "),
        QStringLiteral(
            "  If you divide a /where coordinate by 8 you'll get the block (the block number"),
        QStringLiteral("  is not like \"123.75\", but \"123\")."),
        QStringLiteral("The \"GetStaticBlock\"-button displays the items in the selected block."),
        QStringLiteral(
            "The \"Melt!\"-button is used to remove the selected block form the statics-file"),
        QStringLiteral("  and to insert the data into the wsc-file."),
        QStringLiteral("The \"Freeze!\"-button is used to put the items from the wsc back to"),
        QStringLiteral("  the statics-file. You do not need to select a specific block for this,"),
        QStringLiteral("  because all items in the wsc with TYPE 255 are \"freezed\"."),
        QStringLiteral("  The items form the wsc-file do not replace items which were in"),
        QStringLiteral("  the static-block before."),
        QStringLiteral("  If you freeze containers, you can't open them when they are static."),
        QStringLiteral(
            "  You can only freeze items which are not in containers or worn by players."),
        QString(),
        QStringLiteral("To select items in the wsc-file set their \"TYPE\" to 255."),
        QStringLiteral("All items exported from the statics-file automatically have TYPE 255."),
        QString(),
        QStringLiteral(
            "If you freeze items all infomation except the position, the item-ID and the color"),
        QStringLiteral("are lost!"),
        QStringLiteral("The name will be the same as when you use \"#\" in UOX3."),
        QString(),
        QStringLiteral("That's it!"),
    };
}

QStringList GuidanceLines(GuidanceStep step) {
    switch (step) {
    case GuidanceStep::EnterStaIdx:
        return {QStringLiteral("Please enter the path of your Staidx0.mul file in"),
                QStringLiteral("the left box. It will turn green when Loamwright"),
                QStringLiteral("found the file.")};
    case GuidanceStep::EnterStatics:
        return {QStringLiteral("Please enter the path of your Statics0.mul file in"),
                QStringLiteral("the middle box. It will turn green when Loamwright"),
                QStringLiteral("found the file.")};
    case GuidanceStep::EnterItemFile:
        return {QStringLiteral("Please enter the path of the file you got from"),
                QStringLiteral("the server operator in the right box. It will"),
                QStringLiteral("turn green when Loamwright found the file.")};
    case GuidanceStep::LoadIndex:
        return {QStringLiteral("Click on the \"GetStaticIndex\"-button to the right."),
                QStringLiteral("This can take up to 30 seconds! Please wait until"),
                QStringLiteral("Loamwright has finished.")};
    case GuidanceStep::Freeze:
        return {QStringLiteral("Click on the \"Freeze\"-button to the right."),
                QStringLiteral("This can take up to some minutes! Please wait until"),
                QStringLiteral("Loamwright has finished.")};
    case GuidanceStep::Finished:
        break;
    }
    return {QStringLiteral("Finished! You can now close Loamwright and connect to"),
            QStringLiteral("the server. Enjoy!")};
}

QString SimpleModeQuestion() {
    return QStringLiteral(
        "You have not yet selected a mode. If you only want to use Loamwright for patching your "
        "files, you should select \"Yes\" (Simple mode). If you want all features, select \"No\" "
        "(Normal mode). In \"Simple mode\" you get step by step instructions on patching.");
}

QString ModeNotice() {
    return QStringLiteral("The new mode will be active the next time you start Loamwright.");
}

} // namespace lw
