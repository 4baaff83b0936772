// erilaisetrivit: lottery rows that differ from one another as much as
// possible. The process frame runs the row search.

#include "frame/frame.h"
#include "search/driver.h"

int main(int argc, char** argv) {
  search::RowSearch row_search;
  frame::process_entry(argc, argv, row_search);
}
