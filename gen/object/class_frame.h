#pragma once
// Opening the class files of a table, and the frame every generated class
// shares: the class header block and the empty lines that end a code-only file.
#include <string>
#include <string_view>

#include "gen/printer.h"
#include "model/gen_context.h"
#include "model/namer.h"

namespace rw {

// Opens the object class's file in the store folder (".rwg" in the staging
// folder for a loaded project) and returns its file number, or 0 after
// showing the error when it cannot be opened.
int mfCreateObjectClassFile(GenContext& ctx, const ClassNames& names, const std::string& stagingFolder);
// The same for the collection class.
int mfCreateCollClassFile(GenContext& ctx, const ClassNames& names, const std::string& stagingFolder);

// The path of a generated file: in the staging folder with the extension
// "rwg" for a loaded project, otherwise in the store folder as named.
std::string generatedFilePath(const GenerationSettings& s, const std::string& stagingFolder,
                              std::string_view baseName, std::string_view extension);

// The class header block of a class named `className` ("VERSION 1.0 CLASS"
// to the exposure line). The caller decides whether the block is wanted.
void writeClassHeaderBlock(Printer& p, const GenerationSettings& s, std::string_view className,
                           std::string_view projectTypeWord);

// The exposure line for the project kind, or empty when none is written.
std::string_view exposureLine(const GenerationSettings& s, std::string_view projectTypeWord);

// Empty lines that end a code-only table class file.
inline constexpr int kTableClassPadding = 500;
// Empty lines that end a code-only support module file.
inline constexpr int kSupportModulePadding = 100;

}  // namespace rw
