// The page's data: one JSON object embedded in the page by vorlix-sim preview.

export function readPageData(document) {
  const data = JSON.parse(document.getElementById('vorlix-data').textContent);
  if (data.format !== 2) throw new Error(`unknown data format ${JSON.stringify(data.format)}`);
  return data;
}

export function base64Bytes(text) {
  const binary = atob(text);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
  return bytes;
}
