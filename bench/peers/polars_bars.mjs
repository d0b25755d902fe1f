// Open-high-low-close bars from one-minute lines (MM/DD/YYYY,HH:MM,O,H,L,C,V)
// with Polars, the same work as `varn bars` in bench/side_by_side.sh:
//
//   node polars_bars.mjs INPUT 5min|day|month OUTPUT
//
// Bars follow the input order (first open and last close as read), one CSV
// row each: period start, open, high, low, close.
import pl from "nodejs-polars";

const [input, period, output] = process.argv.slice(2);
const every = { "5min": "5m", day: "1d", month: "1mo" }[period];
if (!input || !output || !every) {
    console.error("usage: node polars_bars.mjs INPUT 5min|day|month OUTPUT");
    process.exit(2);
}

const lines = pl.scanCSV(input, {
    hasHeader: false,
    schema: { d: pl.Utf8, t: pl.Utf8, o: pl.Float64, h: pl.Float64, l: pl.Float64, c: pl.Float64, v: pl.Int64 },
});
// A day or month bar needs only the date; a five-minute one the time too.
const start = period === "5min"
    ? pl.concatString([pl.col("d"), pl.col("t")], " ").str.strptime(pl.Datetime("ms"), "%m/%d/%Y %H:%M")
    : pl.col("d").str.strptime(pl.Date, "%m/%d/%Y");
const bars = lines
    .select(start.dt.truncate(every).alias("start"), "o", "h", "l", "c")
    .groupBy("start", { maintainOrder: true })
    .agg(pl.col("o").first(), pl.col("h").max(), pl.col("l").min(), pl.col("c").last())
    .collectSync();
bars.writeCSV(output, { includeHeader: false, datetimeFormat: "%Y-%m-%d %H:%M:%S" });
