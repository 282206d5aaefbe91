// Prompt boxes: lines of text centred in a box, drawn inactive or as a
// raised button; in the GUI region, over the whole page, or rewrapped to fit
// a box.
#include <algorithm>
#include <cmath>

#include "gs_widgets.h"

namespace gs {

PromptLayout prompt_layout(bool active, int num_lines, std::span<const std::string> lines,
                           const Box& box, float sample_width) {
  PromptLayout l;
  l.area = box;
  const float width = box.xmax - box.xmin;
  const float height = box.ymax - box.ymin;
  if (active) {
    l.bevel = std::min(width / 12.0f, height / 12.0f);
    l.area.xmax -= l.bevel;
    l.area.ymax -= l.bevel;
  }
  const int n = std::max(num_lines, 1);
  l.pitch = (l.area.ymax - l.area.ymin) / static_cast<float>(n);
  int longest = 0;
  for (int k = 0; k < num_lines; ++k) longest = std::max(longest, SLEN(lines[k]));
  const int characters = std::max(longest + 2, 3);
  l.height = std::min(0.8f * l.pitch, (l.area.xmax - l.area.xmin) * prompt_factor(sample_width) /
                                          static_cast<float>(characters));
  return l;
}

namespace {

// The smallest character height that mode 5 cuts a long line for.
constexpr float min_legible_height = 0.018f;

// Words of a text (runs of characters other than blanks and tabs).
void add_words(const std::string& text, std::vector<std::string>& words) {
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
}

// Greedy filling of lines of at most `width` characters; words longer than
// the width are cut.
void fill_words(const std::vector<std::string>& words, int width, std::vector<std::string>& out) {
  std::string line;
  for (std::string word : words) {
    while (static_cast<int>(word.size()) > width) {
      if (!line.empty()) {
        out.push_back(line);
        line.clear();
      }
      out.push_back(word.substr(0, static_cast<std::size_t>(width)));
      word.erase(0, static_cast<std::size_t>(width));
    }
    if (word.empty()) continue;
    if (line.empty()) {
      line = word;
    } else if (static_cast<int>(line.size() + 1 + word.size()) <= width) {
      line += ' ';
      line += word;
    } else {
      out.push_back(line);
      line = word;
    }
  }
  if (!line.empty()) out.push_back(line);
}

void cut_hard(const std::string& text, int width, std::vector<std::string>& out) {
  const std::string t = io::trimmed(text);
  if (t.empty()) {
    out.emplace_back();
    return;
  }
  for (std::size_t p = 0; p < t.size(); p += static_cast<std::size_t>(width)) {
    out.push_back(t.substr(p, static_cast<std::size_t>(width)));
  }
}

}  // namespace

std::vector<std::string> readable_lines(std::span<const std::string> lines, int width) {
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    const std::string t = io::trimmed(line);
    if (static_cast<int>(t.size()) <= width) {
      out.push_back(t);
      continue;
    }
    // The rest of a wrapped line two blanks further in than its start.
    const std::size_t indent = std::min(t.find_first_not_of(' '), t.size());
    std::vector<std::string> words, wrapped;
    add_words(t, words);
    fill_words(words, std::max(width - static_cast<int>(indent) - 2, 1), wrapped);
    for (std::size_t k = 0; k < wrapped.size(); ++k)
      out.push_back(std::string(indent + (k > 0 ? 2 : 0), ' ') + wrapped[k]);
  }
  return out;
}

std::vector<std::string> rewrap(int mode, int num_lines, std::span<const std::string> lines,
                                const Box& box, float sample_width) {
  const float factor = prompt_factor(sample_width);
  const float width = box.xmax - box.xmin;
  const float height = box.ymax - box.ymin;
  std::vector<std::string> result;

  if (mode == wrap_none || mode == wrap_keep_end) {
    // Keep the end: as many characters as fit at a legible height.
    int keep = max_wrap_width;
    if (mode == wrap_keep_end) {
      const int n = std::clamp(num_lines, 1, max_wrap_lines);
      const float legible = std::min(0.8f * height / static_cast<float>(n), min_legible_height);
      keep = static_cast<int>(std::floor(width * factor / legible)) - 2;
      keep = std::clamp(keep, 4, max_wrap_width);
    }
    for (int k = 0; k < num_lines && k < max_wrap_lines; ++k) {
      std::string t = io::trimmed(lines[k]);
      if (static_cast<int>(t.size()) > keep) {
        t = mode == wrap_keep_end ? "..." + t.substr(t.size() - static_cast<std::size_t>(keep - 3))
                                  : t.substr(0, static_cast<std::size_t>(keep));
      }
      result.push_back(t);
    }
    return result;
  }

  // The other modes: try every width and keep the one giving the largest
  // characters (on equal heights the wider one, with fewer lines).
  auto wrap_at = [&](int w) {
    std::vector<std::string> out;
    if (mode == wrap_paragraph) {
      std::vector<std::string> words;
      for (int k = 0; k < num_lines; ++k) add_words(lines[k], words);
      fill_words(words, w, out);
    } else {
      for (int k = 0; k < num_lines; ++k) {
        if (mode == wrap_hard) {
          cut_hard(lines[k], w, out);
        } else {
          std::vector<std::string> words;
          add_words(lines[k], words);
          const std::size_t before = out.size();
          fill_words(words, w, out);
          if (out.size() == before) out.emplace_back();
        }
      }
    }
    return out;
  };
  float best_height = -1.0f;
  for (int w = 1; w <= max_wrap_width; ++w) {
    std::vector<std::string> out = wrap_at(w);
    if (out.size() > static_cast<std::size_t>(max_wrap_lines) && w < max_wrap_width) continue;
    if (out.size() > static_cast<std::size_t>(max_wrap_lines)) out.resize(max_wrap_lines);
    int longest = 0;
    for (const auto& t : out) longest = std::max(longest, static_cast<int>(t.size()));
    const float pitch = height / static_cast<float>(std::max<std::size_t>(out.size(), 1));
    const float h =
        std::min(0.8f * pitch, width * factor / static_cast<float>(std::max(longest + 2, 3)));
    if (h >= best_height) {
      best_height = h;
      result = std::move(out);
    }
  }
  return result;
}

}  // namespace gs

void GS_PROMPT(bool active, int max_lines, int num_lines, std::span<const std::string> lines,
               float xmin, float ymin, float xmax, float ymax, int& status) {
  constexpr const char* id = "Subroutine GS_PROMPT V0.1 ";
  if (!gs::lines_in_box(max_lines, num_lines, lines, xmin, ymin, xmax, ymax, id, status)) return;
  const gs::WidgetScope scope;
  const gs::Box box{xmin, ymin, xmax, ymax};
  const gs::PromptLayout l = gs::prompt_layout(active, num_lines, lines, box, gs::sample_width());
  VG_SET_UPDATE(gs::window_workstation, status);
  const int text_colour = active ? gs::blue : gs::black;
  if (active) {
    GS_FILLSTYLE(1, gs::yellow, status);
    GS_LINESTYLE(1, 1.0f, gs::black, status);
    GS_BUTTON(xmin, ymin, xmax, ymax, l.bevel, status);
  } else {
    GS_FILLSTYLE(1, gs::white, status);
    GS_LINESTYLE(1, 1.0f, gs::blue, status);
    GS_RECTANGLE(xmin, ymin, xmax, ymax, true, true, status);
  }
  const float x = (l.area.xmin + l.area.xmax) / 2.0f;
  for (int k = 0; k < num_lines; ++k) {
    const float y = l.area.ymax - l.pitch / 2.0f - static_cast<float>(k) * l.pitch;
    gs::draw_text(x, y, lines[k], 1, text_colour, l.height, gs::align_centre, gs::valign_middle,
                  status);
  }
  VG_UPDATE(gs::window_workstation, 1, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_FPROMPT(int max_lines, int num_lines, std::span<const std::string> lines, int& status) {
  constexpr const char* id = "Subroutine GS_FPROMPT V0.1 ";
  if (!io::entry_ok(status, id)) return;
  gs::Box gui;
  GS_INQ_GUIREGION(gui, status);
  GS_PROMPT(false, max_lines, num_lines, lines, gui.xmin, gui.ymin, gui.xmax, gui.ymax, status);
  GS_UPDATE(status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_PPROMPT(int max_lines, int num_lines, std::span<const std::string> lines, int& status) {
  constexpr const char* id = "Subroutine GS_PPROMPT V0.1 ";
  if (!io::entry_ok(status, id)) return;
  float xmax = 0.0f, ymax = 0.0f;
  VG_INQ_MAXPC(xmax, ymax, status);
  GS_PROMPT(false, max_lines, num_lines, lines, 0.0f, 0.0f, xmax, ymax, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_SPROMPT(int mode, int max_lines, int num_lines, std::span<const std::string> lines,
                float xmin, float ymin, float xmax, float ymax, int& status) {
  constexpr const char* id = "Subroutine GS_SPROMPT V0.1 ";
  if (!gs::lines_in_box(max_lines, num_lines, lines, xmin, ymin, xmax, ymax, id, status)) return;
  if (mode < gs::wrap_none || mode > gs::wrap_keep_end) {
    io::fail(gs::status_bad_value, id, status);
    return;
  }
  const std::vector<std::string> wrapped =
      gs::rewrap(mode, num_lines, lines, gs::Box{xmin, ymin, xmax, ymax}, gs::sample_width());
  const int n = static_cast<int>(wrapped.size());
  GS_PROMPT(false, std::max(n, 1), n, wrapped, xmin, ymin, xmax, ymax, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_UPDATE(int& status) {
  constexpr const char* id = "Subroutine GS_UPDATE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  VG_UPDATE(gs::window_workstation, 1, status);
  if (status != io::status_good) ST_SAVE(id);
}
