// caelo: builds, evaluates and inspects planetary-system scenes through the
// stand-in host and the module it loads.
#include "application.h"
#include "console.h"
#include "mainJob.h"
#include "moduleLoader.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

namespace {

constexpr const char* kOutputFolder = "caelo-out";

int runScriptFile(const std::string& file) {
    caelo::app::Console console(std::cout);
    if (file == "-") {
        return console.runScript(std::cin, "<stdin>", std::cerr);
    }
    std::ifstream script(file);
    if (!script) {
        std::cerr << "caelo: cannot open the script " << file << ": " << std::strerror(errno) << '\n';
        return 1;
    }
    return console.runScript(script, file, std::cerr);
}

} // namespace

int main(int argc, char** argv) {
    CLI::App cli(
        "caelo: an accurate, animated planetary system in a 3D scene.\n"
        "Without a subcommand, caelo builds the solar system (the Sun, the planets, their moons and\n"
        "rings), evaluates it, prints where the bodies are and saves it to\n"
        "caelo-out/solar-system.caelo.",
        "caelo");
    cli.require_subcommand(0, 1);
    std::string scriptFile;
    CLI::App* script =
        cli.add_subcommand("script", "Run a console script, one command a line (commands: docs/console.md)");
    script->add_option("FILE", scriptFile, "The script file, or - for standard input")->required();
    CLI11_PARSE(cli, argc, argv);

    try {
        caelo::host::HostSession session;
        caelo::host::loadModule(caelo::host::defaultModulePath());
        if (*script) {
            return runScriptFile(scriptFile);
        }
        caelo::app::runMainJob(std::cout, kOutputFolder);
        return 0;
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "caelo: " << error.what() << '\n';
        return 1;
    }
}
