#include "fio_files.h"

#include <algorithm>
#include <array>

namespace fiotest {

std::string Tiff::bytes() const {
  const int rps = rows_per_strip > 0 ? rows_per_strip : height;
  const int strips = (height + rps - 1) / rps;
  Bytes f;
  f.high = high;
  const std::string m = mark.empty() ? (high ? "MM" : "II") : mark;
  f.text(m).u16(static_cast<unsigned>(version)).u32(0);  // directory offset later
  // Strip data, in stored order or last strip first.
  std::vector<std::uint32_t> offsets(static_cast<std::size_t>(strips)), counts(offsets.size());
  std::vector<int> order(offsets.size());
  for (int s = 0; s < strips; ++s)
    order[static_cast<std::size_t>(s)] = reversed_strips ? strips - 1 - s : s;
  for (int s : order) {
    const int first = s * rps, n = std::min(rps, height - first);
    const auto begin = rows.begin() + static_cast<std::ptrdiff_t>(first) * row_bytes();
    offsets[static_cast<std::size_t>(s)] = static_cast<std::uint32_t>(f.b.size());
    counts[static_cast<std::size_t>(s)] = static_cast<std::uint32_t>(n * row_bytes());
    f.b.insert(f.b.end(), begin, begin + static_cast<std::ptrdiff_t>(n) * row_bytes());
  }
  // Entries: tag, type, count, value or the offset of the values.
  struct E {
    int tag, type;
    std::vector<std::uint32_t> values;
  };
  std::vector<E> entries{{256, 4, {static_cast<std::uint32_t>(width)}},
                         {257, 4, {static_cast<std::uint32_t>(height)}},
                         {258, 3, {static_cast<std::uint32_t>(bits)}},
                         {259, 3, {1}},
                         {273, 4, offsets}};
  if (rows_per_strip > 0) entries.push_back({278, 4, {static_cast<std::uint32_t>(rps)}});
  if (byte_counts) entries.push_back({279, 4, counts});
  if (sample_format > 0) entries.push_back({339, 3, {static_cast<std::uint32_t>(sample_format)}});
  for (const auto& [extra_tag, value] : extra) {
    const auto tag = extra_tag;  // a copy: clang 14 cannot capture a structured binding
    auto it =
        std::find_if(entries.begin(), entries.end(), [&](const E& e) { return e.tag == tag; });
    if (it != entries.end()) {
      it->values = {value};
    } else {
      entries.push_back({tag, 4, {value}});
    }
  }
  std::sort(entries.begin(), entries.end(), [](const E& a, const E& b) { return a.tag < b.tag; });
  // Arrays of more than one value go before the directory.
  std::vector<std::uint32_t> where(entries.size(), 0);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].values.size() <= 1) continue;
    where[i] = static_cast<std::uint32_t>(f.b.size());
    for (auto v : entries[i].values) f.u32(v);
  }
  const auto directory = static_cast<std::uint32_t>(f.b.size());
  f.u16(static_cast<unsigned>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const E& e = entries[i];
    f.u16(static_cast<unsigned>(e.tag))
        .u16(static_cast<unsigned>(e.type))
        .u32(static_cast<std::uint32_t>(e.values.size()));
    if (e.values.size() > 1) {
      f.u32(where[i]);
    } else if (e.type == 3) {
      f.u16(e.values[0]).u16(0);
    } else {
      f.u32(e.values[0]);
    }
  }
  const std::vector<std::uint8_t> ifd(f.b.begin() + directory, f.b.end());
  for (int p = 1; p < pages; ++p) {
    f.u32(static_cast<std::uint32_t>(f.b.size() + 4));
    f.b.insert(f.b.end(), ifd.begin(), ifd.end());
  }
  f.u32(0);
  Bytes d;
  d.high = high;
  d.u32(directory);
  std::copy(d.b.begin(), d.b.end(), f.b.begin() + 4);
  return f.str();
}

Read read_named(const std::string& path, const std::string& format, int xmax, int ymax) {
  Read r;
  kovtest::ConsoleCapture console;
  int status = good;
  ST_DEF_SYSTEM(status);
  std::string name = path, chosen = format;
  if (chosen.empty()) fio::format_from_extension(name, chosen, status);
  FIO_SET_INPUT(false, chosen, 0.0f, status);
  io::Image<float> image;
  image.allocate(xmax, ymax);
  std::vector<float> xaxis(static_cast<std::size_t>(xmax)), yaxis(static_cast<std::size_t>(ymax));
  std::string xlabel, ylabel, zlabel;
  float px = 0.0f, py = 0.0f;
  const std::array<std::string, 1> prompt{""};
  FIO_GUI_INPUT(1, 0, prompt, fio::input_named, false, r.defined, name, r.width, r.height, xaxis,
                yaxis, image.view(), io::View2D<float>(), r.title, xlabel, ylabel, zlabel, px, py,
                status);
  EXPECT_EQ(status, good);
  if (r.defined) {
    for (int y = 1; y <= r.height; ++y) {
      for (int x = 1; x <= r.width; ++x) r.pixels.push_back(image(x, y));
    }
  }
  r.console = console.text();
  return r;
}

}  // namespace fiotest
