// Runs the Khronos glTF validator on each .glb file named; fails unless
// every one has no error and no warning.
const fs = require('fs');
const validator = require('gltf-validator');

(async () => {
  let clean = true;
  for (const file of process.argv.slice(2)) {
    const { issues } = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)));
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ${issues.numInfos} infos`);
    // Errors (0) and warnings (1); information (2) and hints (3) pass.
    for (const m of issues.messages.filter((m) => m.severity < 2))
      console.log(`  [${m.severity}] ${m.code} ${m.pointer || ''}: ${m.message}`);
    clean = clean && issues.numErrors === 0 && issues.numWarnings === 0;
  }
  process.exit(clean ? 0 : 1);
})();
