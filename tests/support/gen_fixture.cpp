#include "support/gen_fixture.h"

namespace rw::test {

GenFixture::GenFixture() {
    fs.createDirectories("/out");
    fs.createDirectories("/tmp");
    settings.mbErrorHandler = settings.mbCode = settings.mbModuleHeaders = settings.mbFunctionHeaders =
        settings.mbDevNotes = true;
    newProject();
}

std::string GenFixture::capture(const std::function<void(GenContext&, int)>& write) {
    const std::string path = "/capture/file" + std::to_string(files.freeFile());
    fs.createDirectories("/capture");
    GenContext c = ctx();
    const int number = files.openForOutput(path);
    write(c, number);
    files.close(number);
    return fs.readAll(path);
}

void GenFixture::newProject(const std::string& kind) {
    settings.mbStdExe = kind == "Exe";
    settings.mbActiveXExe = kind == "OleExe";
    settings.mbActiveXDll = kind == "OleDll";
    settings.mbExistingProject = settings.mbLoadedProject = false;
    settings.msStoreDir = "/out";
    settings.project.txtProjName = "Orders";
    settings.msProjectFile = "/out/Orders.vbp";
}

std::vector<std::string> GenFixture::messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : ui.messages) texts.push_back(m.text);
    return texts;
}

FieldRow row(std::string table, std::string field, int dataType, bool primary, bool autoNumber, bool nullable) {
    return FieldRow{std::move(table), std::move(field), primary, autoNumber, static_cast<std::int16_t>(dataType),
                    nullable};
}

}  // namespace rw::test
