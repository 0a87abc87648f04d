// The statistics pages: the program fills the blocks of each page with calls
// of the functions below, one string per value; showStatistics puts them into
// the page as text. Each page names its kind and columns before this runs.
var totals = null;
var sortColumn = "", sortDirection = "";
var rows = [];
function statisticTotals(first, last, days, total, average) {
  totals = { first: first, last: last, days: days, total: total, average: average };
}
function statisticSort(column, direction) { sortColumn = column; sortDirection = direction; }
function statisticRow() { rows.push(Array.prototype.slice.call(arguments)); }

function statisticText(parent, tag, value) {
  var e = document.createElement(tag);
  e.appendChild(document.createTextNode(String(value)));
  parent.appendChild(e);
  return e;
}
function statisticLink(parent, label, href) {
  var a = document.createElement("a");
  a.href = href;
  a.appendChild(document.createTextNode(label));
  parent.appendChild(a);
  return a;
}
function showStatistics(kind, columns) {
  var nav = document.getElementById("nav");
  var kinds = [["author", "按用户统计"], ["week", "按星期统计"], ["month", "按月份统计"]];
  for (var i = 0; i < kinds.length; i++) {
    if (kinds[i][0] == kind) statisticText(nav, "span", kinds[i][1]);
    else statisticLink(nav, kinds[i][1], "statistic_by_" + kinds[i][0] + "_11.htm");
  }
  if (totals) {
    document.getElementById("totals").appendChild(document.createTextNode(
      "从 " + totals.first + " 到 " + totals.last + "，共 " + totals.days + " 天，留言 " +
      totals.total + " 条，平均每天 " + totals.average + " 条"));
  }
  var table = document.getElementById("rows");
  var head = document.createElement("tr");
  for (var c = 0; c < columns.length; c++) {
    var th = document.createElement("th");
    var label = columns[c][0], page = columns[c][1];
    if (page) {
      // The current column switches direction; another one starts descending.
      var current = label == sortColumn;
      var next = current && sortDirection == "des" ? "2" : "1";
      var mark = current ? (sortDirection == "des" ? " ▼" : " ▲") : "";
      statisticLink(th, label + mark, "statistic_by_" + kind + "_" + page + next + ".htm");
    } else {
      th.appendChild(document.createTextNode(label));
    }
    head.appendChild(th);
  }
  table.appendChild(head);
  for (var r = 0; r < rows.length; r++) {
    var tr = document.createElement("tr");
    for (var v = 0; v < rows[r].length; v++) {
      var td = statisticText(tr, "td", rows[r][v]);
      if (v == 1 || v == 2) td.className = "num";
    }
    table.appendChild(tr);
  }
}
