#include "app/console.h"

#include "app/commandWords.h"
#include "app/rationalText.h"
#include "app/sceneDump.h"
#include "app/scriptLines.h"
#include "host/application.h"
#include "host/description.h"
#include "host/evaluation.h"
#include "host/files/sceneFile.h"
#include "host/messages.h"
#include "host/sceneEditing.h"
#include "host/services/dateService.h"
#include "host/services/displayText.h"
#include "host/services/numberText.h"

#include <cmath>
#include <cstdint>
#include <new>
#include <optional>
#include <string>

namespace caelo::app {
namespace {

constexpr std::string_view kTopLevel = "/";

host::Document& document() {
    return host::application().activeDocument();
}

double parseNumber(std::string_view text, const std::string& what) {
    const auto value = host::textToNumber(text);
    if (!value) {
        throw CommandError(what + ": " + host::quotedExcerpt(text) + " is no finite number in range; " +
                           std::string(host::kExpectedNumber));
    }
    return *value;
}

std::int32_t parseWhole(std::string_view text, const std::string& what) {
    const double value = parseNumber(text, what);
    if (value != std::trunc(value) || value < INT32_MIN || value > INT32_MAX) {
        throw CommandError(what + " expects a whole number between -2147483648 and 2147483647, not " +
                           host::quotedExcerpt(text));
    }
    return static_cast<std::int32_t>(value);
}

host::Vector parseVector(CommandWords& args, const std::string& what) {
    host::Vector v;
    v.x = parseNumber(args.next("x"), what);
    v.y = parseNumber(args.next("y"), what);
    v.z = parseNumber(args.next("z"), what);
    args.finish();
    return v;
}

host::Node& objectAt(std::string_view path, const std::string& command) {
    host::Node& node = document().requireNode(path);
    if (!node.isObject()) {
        throw CommandError(command + ": " + host::excerpt(path) + " is a tag, not an object");
    }
    return node;
}

// A parent path: "/" is the top level of the document.
host::Node* parentAt(std::string_view path, const std::string& command) {
    return path == kTopLevel ? nullptr : &objectAt(path, command);
}

std::string parameterName(const host::Node& node, const host::ParameterDescription& parameter) {
    return "parameter " + std::to_string(parameter.id) + " (" + parameter.name + ") of " +
           host::describeNode(node);
}

// The value of a `set` command, typed by the parameter's description.
host::Value parseValue(const host::Node& node, const host::ParameterDescription& parameter,
                       CommandWords& args) {
    const std::string what = parameterName(node, parameter);
    switch (parameter.kind) {
    case host::ParameterKind::Float: {
        const double value = parseNumber(args.next("value"), what);
        args.finish();
        return value;
    }
    case host::ParameterKind::Int32:
    case host::ParameterKind::Cycle: {
        const std::int32_t value = parseWhole(args.next("value"), what);
        args.finish();
        return value;
    }
    case host::ParameterKind::Bool: {
        const std::string_view word = args.next("value");
        args.finish();
        if (word != "true" && word != "false") {
            throw CommandError(what + " expects true or false, not " + host::quotedExcerpt(word));
        }
        return word == "true";
    }
    case host::ParameterKind::String:
        return std::string(args.rest());
    case host::ParameterKind::NumberText: {
        const std::string_view text = args.rest();
        parseNumber(text, what); // refuses text that is no finite number
        return std::string(text);
    }
    case host::ParameterKind::Vector:
        return parseVector(args, what);
    case host::ParameterKind::Link: {
        const std::string_view path = args.next("node path or none");
        args.finish();
        return host::Link{path == "none" ? host::kNoNode : document().requireNode(path).id()};
    }
    case host::ParameterKind::DateTime: {
        const std::string_view text = args.rest();
        const auto fields = host::parseDateTime(text);
        if (!fields) {
            throw CommandError(what + " expects a date and time YYYY-MM-DD hh:mm:ss " +
                               host::representableDatesText() + ", not " + host::quotedExcerpt(text));
        }
        return host::DateTime{*fields};
    }
    case host::ParameterKind::Curve:
        throw CommandError(what + " is a curve, which the console cannot set");
    case host::ParameterKind::Button:
        throw CommandError(what + " is a button: use press");
    }
    throw CommandError(what + " has a kind the console does not know");
}

// Appends a new or copied object, removing it again when that fails.
void appendOrRemove(host::Node& node, host::Node* parent) {
    try {
        host::appendChild(document(), node, parent);
    } catch (...) {
        host::removeNode(host::application(), node);
        throw;
    }
}

// ---------------------------------------------------------------- commands

void commandNew(CommandWords& args, std::ostream&) {
    args.finish();
    host::application().newDocument();
}

void commandAdd(CommandWords& args, std::ostream& out) {
    const std::int32_t type = parseWhole(args.next("type id"), "add");
    const auto parentPath = args.nextIfAny();
    args.finish();
    host::Node* parent = parentPath ? parentAt(*parentPath, "add") : nullptr;
    host::Node& node = host::createObject(host::application(), type);
    appendOrRemove(node, parent);
    out << document().pathOf(node) << '\n';
}

void commandTag(CommandWords& args, std::ostream& out) {
    host::Node& object = objectAt(args.next("object path"), "tag");
    const std::int32_t type = parseWhole(args.next("tag type id"), "tag");
    args.finish();
    const host::Node& tag = host::createTag(host::application(), object, type);
    out << document().pathOf(tag) << '\n';
}

void commandSet(CommandWords& args, std::ostream&) {
    const bool quiet = args.takeFlag("--quiet");
    host::Node& node = document().requireNode(args.next("node path"));
    const std::int32_t id = parseWhole(args.next("parameter id"), "set");
    const host::ParameterDescription& parameter = host::requireParameter(node, id);
    const host::Value value = parseValue(node, parameter, args);
    if (quiet) {
        host::setParameterQuietly(node, id, value);
    } else {
        host::editParameter(node, id, value);
    }
}

void commandPress(CommandWords& args, std::ostream&) {
    host::Node& node = document().requireNode(args.next("node path"));
    const std::int32_t id = parseWhole(args.next("button id"), "press");
    args.finish();
    if (!host::pressButton(node, id)) {
        throw CommandError("press: button " + std::to_string(id) + " of " + host::describeNode(node) +
                           " reported a failure");
    }
}

void commandTransform(CommandWords& args, std::ostream&) {
    host::Node& node = objectAt(args.next("node path"), "transform");
    const std::string_view part = args.next("pos, rot, scale, basepos, baserot or basescale");
    struct Part {
        std::string_view name;
        host::Vector host::Transform::*field;
        bool frozen;
    };
    static constexpr Part kParts[] = {
        {"pos", &host::Transform::position, false},    {"rot", &host::Transform::rotation, false},
        {"scale", &host::Transform::scale, false},     {"basepos", &host::Transform::position, true},
        {"baserot", &host::Transform::rotation, true}, {"basescale", &host::Transform::scale, true},
    };
    for (const Part& candidate : kParts) {
        if (candidate.name == part) {
            const host::Vector value = parseVector(args, "transform " + std::string(part));
            host::Transform& transform = candidate.frozen ? node.frozen : node.relative;
            transform.*candidate.field = value;
            return;
        }
    }
    throw CommandError("transform: unknown part " + host::quotedExcerpt(part) +
                       " (expected pos, rot, scale, basepos, baserot or basescale)");
}

void commandTime(CommandWords& args, std::ostream&) {
    const std::string_view text = args.next("seconds");
    args.finish();
    const auto time = parseRationalSeconds(text);
    if (!time) {
        throw CommandError(
            "time expects seconds as a decimal (1.5) or a fraction (1/30) whose parts lie within "
            "+-9223372036854775807, not " +
            host::quotedExcerpt(text));
    }
    document().time = *time;
}

void commandEval(CommandWords& args, std::ostream&) {
    args.finish();
    host::evaluateDocument(document());
}

void commandDelete(CommandWords& args, std::ostream&) {
    host::Node& node = document().requireNode(args.next("node path"));
    args.finish();
    host::removeNode(host::application(), node);
}

void commandCopy(CommandWords& args, std::ostream& out) {
    const host::Node& source = objectAt(args.next("object path"), "copy");
    const auto parentPath = args.nextIfAny();
    args.finish();
    host::Node* parent = parentPath ? parentAt(*parentPath, "copy") : nullptr;
    host::Node& copy = host::cloneNode(host::application(), source);
    appendOrRemove(copy, parent);
    out << document().pathOf(copy) << '\n';
}

void commandMove(CommandWords& args, std::ostream&) {
    host::Node& node = objectAt(args.next("object path"), "move");
    host::Node* parent = parentAt(args.next("parent path"), "move");
    args.finish();
    host::moveNode(document(), node, parent);
}

std::string fileArgument(CommandWords& args) {
    const std::string_view file = args.rest();
    if (file.empty()) {
        throw CommandError(args.command() + ": missing file");
    }
    return std::string(file);
}

void commandSave(CommandWords& args, std::ostream&) {
    host::saveScene(document(), fileArgument(args));
}

void commandLoad(CommandWords& args, std::ostream&) {
    host::loadScene(host::application(), fileArgument(args));
}

void commandDump(CommandWords& args, std::ostream& out) {
    const bool json = args.takeFlag("--json");
    args.finish();
    if (json) {
        writeJsonDump(document(), out);
        out << '\n';
    } else {
        writeReadableDump(document(), out);
    }
}

struct Command {
    std::string_view name;
    std::string_view syntax;
    std::string_view summary;
    void (*run)(CommandWords&, std::ostream&);
};

// `help` is handled by the console itself.
constexpr Command kCommands[] = {
    {"new", "new", "a new empty active document", commandNew},
    {"add", "add <type-id> [<parent path>]",
     "create an object as last child (or last top-level object); prints its path", commandAdd},
    {"tag", "tag <object path> <tag-type-id>", "create a tag on an object; prints its path", commandTag},
    {"set", "set [--quiet] <node path> <param-id> <value>",
     "a user's edit of a parameter (--quiet: stored without the user's flag)", commandSet},
    {"press", "press <node path> <button-id>", "press a button", commandPress},
    {"transform", "transform <object path> pos|rot|scale|basepos|baserot|basescale <x> <y> <z>",
     "set a relative or frozen position, rotation (heading, pitch, bank in radians) or scale",
     commandTransform},
    {"time", "time <seconds>", "set the document time (a decimal or a fraction such as 1/30)", commandTime},
    {"eval", "eval", "run one evaluation pass", commandEval},
    {"delete", "delete <node path>", "remove a node with its children and tags", commandDelete},
    {"copy", "copy <object path> [<parent path>]",
     "copy an object with its tags and children; prints the copy's path", commandCopy},
    {"move", "move <object path> <parent path>", "move an object under a new parent (/ for the top level)",
     commandMove},
    {"save", "save <file>", "save the document as a scene file", commandSave},
    {"load", "load <file>", "load a scene file as the active document", commandLoad},
    {"dump", "dump [--json]", "print the document as a readable tree, or as one line of JSON", commandDump},
};

} // namespace

void Console::execute(std::string_view line) {
    CommandWords args(line);
    const std::string& name = args.command();
    if (name.empty() || name.front() == '#') {
        return;
    }
    if (name == "help") {
        args.finish();
        writeHelp();
        return;
    }
    for (const Command& command : kCommands) {
        if (command.name == name) {
            command.run(args, out_);
            return;
        }
    }
    throw CommandError("unknown command " + host::quotedExcerpt(name) + " (help lists the commands)");
}

std::string failureReason(const std::exception& error) {
    return dynamic_cast<const std::bad_alloc*>(&error) != nullptr ? "out of memory" : error.what();
}

int Console::runScript(std::istream& script, const std::string& name, std::ostream& errors) {
    ScriptLines lines(script, name);
    for (std::string line; lines.next(line);) {
        try {
            execute(line);
        } catch (const std::exception& error) {
            out_.flush();
            errors << host::escapedText(name + ':' + std::to_string(lines.lineNumber()) +
                                        ": error: " + failureReason(error))
                   << '\n';
            return 1;
        }
        if (!out_) {
            return 1;
        }
    }
    return 0;
}

void Console::writeHelp() const {
    out_ << "Commands (one a line; blank lines and lines starting with # are skipped):\n";
    for (const Command& command : kCommands) {
        out_ << "  " << command.syntax << "\n      " << command.summary << '\n';
    }
    out_ << "  help\n      this list\n"
         << "Nodes are named by zero-based child indices: /0 is the first top-level object, /0/2 its third\n"
         << "child, /0/2#1 the second tag of that object.\n";
}

} // namespace caelo::app
