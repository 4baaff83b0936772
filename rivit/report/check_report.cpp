#include "rivit/report/check_report.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "rivit/report/summary.h"

namespace rivit {

void write_check_text(const RowsCheck& check, rt::LineSink& out) {
  out.WriteLine("rows: " + std::to_string(check.rows));
  if (!check.closest) {
    out.WriteLine("most shared: none, fewer than two rows");
  } else {
    out.WriteLine("most shared: " + std::to_string(check.closest->numbers));
    out.WriteLine("pair: lines " + std::to_string(check.closest->first) + " and " +
                  std::to_string(check.closest->second));
  }
  if (check.guarantee) out.WriteLine(guarantee_text(*check.guarantee));
}

void write_check_csv(const RowsCheck& check, rt::LineSink& out) {
  const std::optional<GuaranteeCheck>& guarantee = check.guarantee;
  out.WriteLine(std::string("rows,most_shared,first_line,second_line") +
                (guarantee ? ",right,if_drawn,pool_numbers,sets,failing_sets,example" : ""));
  std::vector<std::string> fields = {std::to_string(check.rows), "", "", ""};
  if (check.closest) {
    fields[1] = std::to_string(check.closest->numbers);
    fields[2] = std::to_string(check.closest->first);
    fields[3] = std::to_string(check.closest->second);
  }
  if (guarantee) {
    for (const std::uint64_t n :
         {std::uint64_t(guarantee->guarantee.right), std::uint64_t(guarantee->guarantee.if_drawn),
          std::uint64_t(guarantee->pool_numbers), guarantee->sets, guarantee->failing}) {
      fields.push_back(std::to_string(n));
    }
    // The example's numbers apart by spaces, in a field of their own.
    std::string example;
    for (const int n : guarantee->example ? guarantee->example->numbers() : Row{}) {
      example.append(example.empty() ? "" : " ").append(std::to_string(n));
    }
    fields.push_back(example);
  }
  std::string line = fields.front();
  for (std::size_t i = 1; i < fields.size(); ++i) line.append(",").append(fields[i]);
  out.WriteLine(line);
}

void write_check_json(const RowsCheck& check, rt::LineSink& out) {
  nlohmann::json object = {{"rows", check.rows}, {"most_shared", nullptr}, {"pair", nullptr}};
  if (check.closest) {
    object["most_shared"] = check.closest->numbers;
    object["pair"] = {check.closest->first, check.closest->second};
  }
  if (check.guarantee) {
    const GuaranteeCheck& guarantee = *check.guarantee;
    object["guarantee"] = {{"right", guarantee.guarantee.right},
                           {"if_drawn", guarantee.guarantee.if_drawn},
                           {"pool_numbers", guarantee.pool_numbers},
                           {"sets", guarantee.sets},
                           {"failing_sets", guarantee.failing},
                           {"holds", guarantee.holds()},
                           {"example", nullptr}};
    if (guarantee.example) object["guarantee"]["example"] = guarantee.example->numbers();
  }
  out.WriteLine(object.dump());
}

}  // namespace rivit
