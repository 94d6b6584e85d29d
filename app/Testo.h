#pragma once
// Text laid out the way a Windows label lays out its caption.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace noce {

// The width in pixels of a run of text in the font being laid out; the
// view measures with its toolkit.
using MisuraTesto = std::function<double(std::string_view)>;

// Splits a caption into the lines a box of the given width shows: CR LF
// (or a lone LF) breaks a line, words wrap at the width, a word wider than
// the box stays whole on a line of its own.
std::vector<std::string> RigheTesto(const std::string& testo, int larghezza, const MisuraTesto& misura);

}  // namespace noce
