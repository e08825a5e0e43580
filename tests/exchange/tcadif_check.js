'use strict';
// Reads an ADIF file with tcadif, which refuses a file for any field whose data type or
// enumeration is wrong and for any record without QSO_DATE, TIME_ON, CALL, BAND or FREQ and
// MODE. Prints the number of records it took, then each as JSON; exits 1 on any refusal.
//
//   node tcadif_check.js <node_modules folder> <file.adi>
const fs = require('fs');
const path = require('path');

const [modules, file] = process.argv.slice(2);
const { ADIF } = require(path.join(modules, 'tcadif'));

// One byte one character, as the lengths of an ADI file count them.
const text = fs.readFileSync(file, 'latin1');
let qsos;
try {
    qsos = ADIF.parse(text).toObject().qsos;
} catch (error) {
    console.log(`refused: ${error.message} ${JSON.stringify(error)}`);
    process.exit(1);
}
console.log(qsos.length);
for (const qso of qsos) console.log(JSON.stringify(qso));
