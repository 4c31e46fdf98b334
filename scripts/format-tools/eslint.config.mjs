// ESLint over the project's JavaScript (make format-check). Prettier lays it out; this finds
// mistakes: unused or undefined names, unreachable code, duplicate keys.
import js from '@eslint/js';
import globals from 'globals';

export default [
  js.configs.recommended,
  // The preview page runs in the browser.
  { files: ['sim/preview/browser/src/**/*.js'], languageOptions: { globals: globals.browser } },
  // Build tools and tests run in Node.js; the tests also send functions to the page.
  { files: ['**/*.mjs'], languageOptions: { globals: { ...globals.node, ...globals.browser } } },
];
