// Open-high-low-close bars from one-minute lines (MM/DD/YYYY,HH:MM,O,H,L,C,V)
// with DuckDB, the same work as `varn bars` in bench/side_by_side.sh:
//
//   node duckdb_bars.mjs INPUT 5min|day|month OUTPUT
//
// Bars follow the input order, one CSV row each: period start, open, high,
// low, close. DuckDB reads and groups in parallel, so "first" and "last" in
// reading order are not defined there; each line's place in the file is kept
// as a column and the open and close are taken at its least and greatest.
import { DuckDBInstance } from "@duckdb/node-api";

const [input, period, output] = process.argv.slice(2);
const start = {
    "5min": "time_bucket(INTERVAL 5 MINUTE, strptime(d || ' ' || t, '%m/%d/%Y %H:%M'))",
    day: "strptime(d, '%m/%d/%Y')::DATE",
    month: "date_trunc('month', strptime(d, '%m/%d/%Y'))::DATE",
}[period];
if (!input || !output || !start) {
    console.error("usage: node duckdb_bars.mjs INPUT 5min|day|month OUTPUT");
    process.exit(2);
}
const quote = (s) => "'" + s.replaceAll("'", "''") + "'";

const instance = await DuckDBInstance.create(":memory:");
const db = await instance.connect();
await db.run(`
COPY (
    WITH lines AS (
        SELECT ${start} AS start, o, h, l, c, row_number() OVER () AS n
        FROM read_csv(${quote(input)}, header = false, auto_detect = false, delim = ',',
            columns = {'d': 'VARCHAR', 't': 'VARCHAR', 'o': 'DOUBLE', 'h': 'DOUBLE',
                       'l': 'DOUBLE', 'c': 'DOUBLE', 'v': 'BIGINT'})
    )
    SELECT start, arg_min(o, n), max(h), min(l), arg_max(c, n)
    FROM lines GROUP BY start ORDER BY min(n)
) TO ${quote(output)} (HEADER false)`);
