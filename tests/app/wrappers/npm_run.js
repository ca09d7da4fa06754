// Drives quirexpdf through the npm wrapper, as a Node script written for the
// program it stands in for would: HTML piped from standard output into a file,
// and two file:// addresses joined into one PDF.
// Usage: node npm_run.js MODULES WORK QUIREXPDF (MODULES holds node_modules).
const fs = require('fs');
const path = require('path');
const [modules, work, binary] = process.argv.slice(2);
const wkhtmltopdf = require(path.join(modules, 'node_modules', 'wkhtmltopdf'));
wkhtmltopdf.command = binary;

function fail(error) {
  console.error(String(error));
  process.exit(1);
}

const html = fs.readFileSync(path.join(work, 'a.html'), 'utf8');
const piped = wkhtmltopdf(html, {
  pageSize: 'Letter',
  marginTop: '15mm',
  marginLeft: '1in',
  title: 'From npm',
  footerCenter: '[page]',
  outlineDepth: 2,
}, (error) => { if (error) fail(error); });
piped.on('error', fail);
piped.pipe(fs.createWriteStream(path.join(work, 'npm.pdf')));

const urls = ['a.html', 'b.html'].map((name) => 'file://' + path.join(work, name));
wkhtmltopdf(urls, { output: path.join(work, 'npm-urls.pdf'), noOutline: true },
            (error) => { if (error) fail(error); });
