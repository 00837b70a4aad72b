// Validates a SARIF log on standard input against the published SARIF 2.1.0
// schema, with ajv; argv[2] is the folder npm installed them into.
"use strict";
const path = require("path");
const base = process.argv[2];
const Ajv = require(path.join(base, "node_modules/ajv"));
const schema = require(path.join(base, "node_modules/@microsoft/jest-sarif/lib/schemas/sarif-2.1.0-rtm.5.json"));
const ajv = new Ajv({ schemaId: "auto", allErrors: true, jsonPointers: true });
ajv.addMetaSchema(require(path.join(base, "node_modules/ajv/lib/refs/json-schema-draft-04.json")));
const log = JSON.parse(require("fs").readFileSync(0, "utf8"));
if (!ajv.validate(schema, log)) { console.log(JSON.stringify(ajv.errors, null, 1)); process.exit(1); }
console.log("valid");
