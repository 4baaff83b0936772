#include "search/storage.h"

#include "runtime/operations.h"
#include "runtime/reader.h"

namespace search {

rt::Value row_text(const Globals& g) {
  const Literals& l = g.literals;
  const rt::Value& r = g.arvotturivi;
  const rt::Value row_template[] = {
      l.open_bracket,         rt::Element(r, 1), l.space, rt::Element(r, 2), l.space, rt::Element(r, 3),
      l.space,                rt::Element(r, 4), l.space, rt::Element(r, 5), l.space, rt::Element(r, 6),
      l.space,                rt::Element(r, 7), l.space, l.close_bracket,
  };
  return rt::Join(row_template);
}

void store_row(Globals& g) {
  // One bracketed group reads as a one-element list, and appending that adds
  // its one element: the new row.
  rt::Append(g.rivit, rt::ReadList(row_text(g).text()));
  g.rivit_index.CatchUp(g.rivit.list());
}

rt::Value report_line(const Globals& g) {
  const Literals& l = g.literals;
  const rt::Value line_template[] = {
      l.vahintaan, rt::Add(g.oikein.integer(), 1), l.saa_noin, rt::Length(g.rivit), l.lla_rivilla,
  };
  return rt::Join(line_template);
}

void print_report_line(Globals& g) { g.runtime.PrintLine(report_line(g)); }

}  // namespace search
