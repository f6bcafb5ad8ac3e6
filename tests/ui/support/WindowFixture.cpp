#include "WindowFixture.h"

#include <QDialog>
#include <QTest>

#include <filesystem>

#include "Dialogs.h"

namespace fs = std::filesystem;

WindowFixture::WindowFixture() {
    fs::create_directories(temp_.path() / "Data");
    for (const char* file : {"Data.ini", "Items.txt", "Abilities.txt", "Types.txt", "EggTypes.txt", "Attacks.txt"})
        fs::copy_file(fs::path(VORNHAL_DATA_DIR) / file, temp_.path() / "Data" / file);
    Dialogs::SetMessageHook([this](const QString& text) { messages << text; });
    Dialogs::SetModalHook([this](QDialog* dialog) { shownModal << dialog; });
    window_ = std::make_unique<Form1>(QString::fromStdString(DataFolder()));
    window_->show();
}

WindowFixture::~WindowFixture() {
    window_.reset();
    Dialogs::SetMessageHook(nullptr);
    Dialogs::SetModalHook(nullptr);
    Dialogs::SetMenuHook(nullptr);
}

std::string WindowFixture::DataFolder() const { return (temp_.path() / "Data").string(); }
std::string WindowFixture::IniPath() const { return (temp_.path() / "Data" / "Data.ini").string(); }

std::string WindowFixture::WriteRom(const RomBuilder& builder, const std::string& name) {
    const std::string path = temp_.File(name);
    if (!builder.WriteTo(path)) qFatal("cannot write %s", path.c_str());
    return path;
}

void WindowFixture::Open(const std::string& path) {
    Dialogs::QueueFileAnswer(QString::fromStdString(path));
    Click("cmdOpen");
}

void WindowFixture::Click(const char* buttonName) {
    auto* button = window_->findChild<QAbstractButton*>(QString::fromLatin1(buttonName));
    if (!button) qFatal("no button %s", buttonName);
    QTest::mouseClick(button, Qt::LeftButton);
}

void WindowFixture::SelectSpecies(int index) { List("lstPokemon")->setCurrentRow(index); }
