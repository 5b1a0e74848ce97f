#pragma once

#include "TestSupport.h"
#include "controls/Prompts.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "mainwindow/TMain.h"
#include "session/SpellSession.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

// A main window started in a temporary settings folder, with helpers that
// drive it the way a user does.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { startWindow(); }

    void startWindow() {
        window = std::make_unique<TMain>(folder());
        window->StartUp();
        window->show();
    }

    QString folder() const { return QString::fromStdString(dir.path().string()) + "/"; }
    QString file(const char* name) const { return QString::fromStdString(dir.file(name)); }

    // Copies the sample data file set into the temporary folder; returns its .Dat path.
    QString copySample(const char* base = "sample") {
        for (const char* ext : {".Dat", ".SBK", ".SBN"})
            testsupport::WriteBytes(dir.file(std::string(base) + ext),
                                    testsupport::ReadBytes(testsupport::SourcePath(
                                        std::string("samples/sample-spells") + ext)));
        return file((std::string(base) + ".Dat").c_str());
    }

    template <typename T = QToolButton> T* control(const char* name) const {
        T* c = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); }

    // Browses to a data file and opens it with the open button.
    void openFile(const QString& path) {
        PromptScript::FileName(path);
        click("BitBtn11");
        click("BOpenConv");
    }

    QString labelText(const char* name) const { return control<QLabel>(name)->text(); }

    // The names of the listed spells, in list order.
    QStringList listedNames() const {
        QStringList names;
        SpellListModel* model = window->listModel();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->data(model->index(row), Qt::DisplayRole).toString();
        return names;
    }

    void closeWindow() {
        window->close();
        QCoreApplication::processEvents();
    }

    testsupport::TempDir dir;
    std::unique_ptr<TMain> window;
};
