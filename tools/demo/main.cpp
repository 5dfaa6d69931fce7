// make-demo FOLDER: lays out a small web-mail installation for trying both programs.
// make-demo --mail FOLDER PORT: beside it, settings that warn by mail through a local server.
#include <cstdio>
#include <filesystem>
#include <string>

#include <QGuiApplication>

#include "tools/demo/Demo.h"

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--mail") {
        return MakeDormixMailDemo(std::filesystem::absolute(argv[2]).string(), argv[3]) ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo FOLDER\n       make-demo --mail FOLDER PORT\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");  // the banner pictures are drawn without a display
    QGuiApplication app(argc, argv);
    const std::string root = std::filesystem::absolute(argv[1]).string();
    std::filesystem::create_directories(root + "/windows");
    MakeMarquetaDemo(root);
    MakeDormixDemo(root);
    std::printf("Demo installation made in %s\nWINDIR=%s/windows\n", root.c_str(), root.c_str());
    return 0;
}
